// SPDX-License-Identifier: MIT
#include <windows.h>

#include <algorithm>
#include <limits>

#include "platform/MemoryLimits.h"

namespace varnow {

std::uint64_t MemoryARunMayUse() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!::GlobalMemoryStatusEx(&status)) {
    return std::numeric_limits<std::uint64_t>::max();
  }
  // The physical memory, and the address space the process has, whichever is less.
  return std::min<std::uint64_t>(status.ullTotalPhys, status.ullTotalVirtual);
}

}  // namespace varnow
