// SPDX-License-Identifier: MIT
#include "platform/RealPath.h"

#include <climits>
#include <cstdlib>

namespace varnow {

std::optional<std::string> RealPathOf(const std::string& path) {
  char real[PATH_MAX];
  if (::realpath(path.c_str(), real) == nullptr) {
    return std::nullopt;
  }
  return std::string(real);
}

}  // namespace varnow
