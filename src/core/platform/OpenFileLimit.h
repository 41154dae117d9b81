// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>

namespace varnow {

// How many more files the process may open: its limit of open files (ulimit -n) less those it
// has open now; nothing where the system sets no such limit (Windows' handles are counted in
// millions). Where the open ones cannot be counted, a generous guess of them is taken.
std::optional<std::uint64_t> FilesLeftToOpen();

}  // namespace varnow
