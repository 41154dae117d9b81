// SPDX-License-Identifier: MIT
#include "platform/UserFolders.h"

namespace varnow {

std::optional<std::filesystem::path> XdgFolder(const char* variable, const char* home,
                                               const char* inHome) {
  if (variable != nullptr && std::filesystem::path(variable).is_absolute()) {
    return std::filesystem::path(variable);
  }
  if (home != nullptr && std::filesystem::path(home).is_absolute()) {
    return std::filesystem::path(home) / inHome;
  }
  return std::nullopt;
}

}  // namespace varnow
