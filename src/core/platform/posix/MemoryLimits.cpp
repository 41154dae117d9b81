// SPDX-License-Identifier: MIT
#include "platform/MemoryLimits.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <limits>

namespace varnow {

std::uint64_t MemoryARunMayUse() {
  std::uint64_t limit = std::numeric_limits<std::uint64_t>::max();
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages > 0 && pageSize > 0) {
    limit = static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
  }
  rlimit space{};
  if (::getrlimit(RLIMIT_AS, &space) == 0 && space.rlim_cur != RLIM_INFINITY) {
    limit = std::min<std::uint64_t>(limit, space.rlim_cur);
  }
  return limit;
}

}  // namespace varnow
