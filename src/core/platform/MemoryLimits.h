// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace varnow {

// The memory a run may use: the smaller of the machine's physical memory and the process's
// address-space limit (ulimit -v), in bytes; the largest value where neither can be learned.
std::uint64_t MemoryARunMayUse();

}  // namespace varnow
