// SPDX-License-Identifier: MIT
#include "platform/UserFolders.h"

#include <cstdlib>

namespace varnow {

std::optional<std::filesystem::path> UserConfigFolder() {
  return XdgFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), ".config");
}

std::optional<std::filesystem::path> UserStateFolder() {
  return XdgFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"), ".local/state");
}

std::optional<std::filesystem::path> UserCacheFolder() {
  return XdgFolder(std::getenv("XDG_CACHE_HOME"), std::getenv("HOME"), ".cache");
}

}  // namespace varnow
