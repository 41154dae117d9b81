// SPDX-License-Identifier: MIT
#include "settings/SettingsLocation.h"

#include <cstdlib>
#include <system_error>

#include "platform/ExecutablePath.h"

namespace varnow {

SettingsLocation FindSettingsFile(const std::filesystem::path& besideFile,
                                  const char* xdgConfigHome, const char* home) {
  std::error_code ec;
  if (std::filesystem::exists(besideFile, ec)) {
    return {besideFile, false};
  }
  std::filesystem::path folder;
  if (xdgConfigHome != nullptr && std::filesystem::path(xdgConfigHome).is_absolute()) {
    folder = xdgConfigHome;
  } else if (home != nullptr && std::filesystem::path(home).is_absolute()) {
    folder = std::filesystem::path(home) / ".config";
  } else {
    return {besideFile, false};
  }
  return {folder / "varnow" / "varnow.ini", true};
}

SettingsLocation FindSettingsFile(const std::filesystem::path& besideFile) {
  return FindSettingsFile(besideFile, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

SettingsLocation FindProgramSettings() {
  // The desktop program and the command line stand side by side and share the file:
  // build/bin/varnow.ini for build/bin/varnow and build/bin/varnow-cli.
  return FindSettingsFile(ExecutablePath().parent_path() / "varnow.ini");
}

}  // namespace varnow
