// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>

namespace varnow {

// Where a program keeps its settings. A file `besideFile` next to the executable wins when it
// exists (portable use, and settings carried over from an earlier installation). Otherwise the
// file is varnow.ini in the user's configuration folder (platform/UserFolders.h):
// $XDG_CONFIG_HOME/varnow/, or ~/.config/varnow/ when that is unset or not an absolute path;
// %APPDATA%\varnow\ on Windows. With no such folder known, the file beside the executable is
// used all the same.
struct SettingsLocation {
  std::filesystem::path file;
  bool inUserFolder = false;  // its folder may not exist yet: made when the file is written
};

SettingsLocation FindSettingsFile(const std::filesystem::path& besideFile);
// Both programs' settings file as it is found: varnow.ini beside the running executable, or
// the user's own.
SettingsLocation FindProgramSettings();
// The same, with the user's configuration folder given (nothing: none is known).
SettingsLocation FindSettingsFile(const std::filesystem::path& besideFile,
                                  const std::optional<std::filesystem::path>& userFolder);

}  // namespace varnow
