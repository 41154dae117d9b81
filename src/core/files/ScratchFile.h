// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>

namespace varnow {

// A file for the program's own scratch data (a page's changes past their memory cap, the log
// pane's lines) in `folder`: without a name where the file system allows (O_TMPFILE), else
// under a temporary name removed as soon as it is open, so that nothing is left behind however
// the program ends. Opened for reading and writing; the descriptor, or -1 where no file can be
// made there.
int OpenScratchFile(const std::filesystem::path& folder);

// Closes scratch file `fd` of `bytes` bytes. Closing the last descriptor of a file frees its
// blocks inside the call, which for a large one takes a while (a quarter of a second for half
// a gigabyte on this machine's ext4, over a second on a slow disk): at the program's end that
// kept the process alive long after its window had gone. A file of kFreedAsideBytes or more is
// therefore freed by a process of its own: a grandchild, which only truncates the file, with
// every other descriptor closed, and exits; this process closes its descriptor at once. Where
// no process can be started, the file is closed here as any other.
inline constexpr std::uint64_t kFreedAsideBytes = std::uint64_t{64} << 20;
void CloseScratchFile(int fd, std::uint64_t bytes);

}  // namespace varnow
