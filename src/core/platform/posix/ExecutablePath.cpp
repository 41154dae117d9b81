// SPDX-License-Identifier: MIT
#include "platform/ExecutablePath.h"

#include <system_error>

namespace varnow {

std::filesystem::path ExecutablePath() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe;
}

}  // namespace varnow
