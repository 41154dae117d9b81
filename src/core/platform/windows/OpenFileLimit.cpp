// SPDX-License-Identifier: MIT
#include "platform/OpenFileLimit.h"

namespace varnow {

// The program opens files as handles, not through the C library's descriptors (whose table
// has a limit of its own), and Windows sets no limit of handles a run could reach.
std::optional<std::uint64_t> FilesLeftToOpen() {
  return std::nullopt;
}

}  // namespace varnow
