// SPDX-License-Identifier: MIT
#include "settings/SettingsLocation.h"

#include <system_error>

#include "platform/ExecutablePath.h"
#include "platform/UserFolders.h"

namespace varnow {

SettingsLocation FindSettingsFile(const std::filesystem::path& besideFile,
                                  const std::optional<std::filesystem::path>& userFolder) {
  std::error_code ec;
  if (std::filesystem::exists(besideFile, ec) || !userFolder) {
    return {besideFile, false};
  }
  return {*userFolder / "varnow" / "varnow.ini", true};
}

SettingsLocation FindSettingsFile(const std::filesystem::path& besideFile) {
  return FindSettingsFile(besideFile, UserConfigFolder());
}

SettingsLocation FindProgramSettings() {
  // The desktop program and the command line stand side by side and share the file:
  // build/bin/varnow.ini for build/bin/varnow and build/bin/varnow-cli.
  return FindSettingsFile(ExecutablePath().parent_path() / "varnow.ini");
}

}  // namespace varnow
