// SPDX-License-Identifier: MIT
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string_view>

#include "platform/SystemFailure.h"

// Whole reads and writes of a POSIX descriptor, going on after interruptions and short writes.
namespace varnow {

// Writes all of `bytes` to a descriptor, going on after interruptions.
Failed WriteAll(int fd, std::string_view bytes);
// The same at offset `at` (pwrite); a write that takes nothing is the disk full.
Failed WriteAllAt(int fd, std::string_view bytes, off_t at);
// Reads up to `size` bytes at offset `at` (pread), going on after interruptions; `got` is 0 at
// the end.
Failed ReadAt(int fd, off_t at, char* into, std::size_t size, std::size_t& got);
// The same where the descriptor stands (read), for a pipe too.
Failed ReadSome(int fd, char* into, std::size_t size, std::size_t& got);

}  // namespace varnow
