// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace varnow {

// Closes scratch descriptor `fd` of `bytes` bytes, a large one freed by a process of its own
// (platform/ScratchFile.h says why). Apart from the class, so that a test can watch a file of
// its own name being freed.
void CloseScratchDescriptor(int fd, std::uint64_t bytes);

}  // namespace varnow
