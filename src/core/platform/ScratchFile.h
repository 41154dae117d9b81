// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/SystemFailure.h"

namespace varnow {

// A file for the program's own scratch data (a page's changes past their memory cap, the log
// pane's lines), read and written at offsets. It has no name where the file system allows
// (O_TMPFILE), else a temporary name removed as soon as it is open (FILE_FLAG_DELETE_ON_CLOSE
// on Windows), so that nothing is left behind however the program ends.
//
// Closing the last descriptor of a large file frees its blocks inside the call, which takes a
// while (a quarter of a second for half a gigabyte on this machine's ext4, over a second on a
// slow disk): at the program's end that kept the process alive long after its window had gone.
// On POSIX a file of kFreedAsideBytes or more is therefore freed by a process of its own: a
// grandchild, which only truncates the file, with every other descriptor closed, and exits;
// this process closes its descriptor at once. Where no process can be started, the file is
// closed here as any other.
class ScratchFile {
 public:
  static constexpr std::uint64_t kFreedAsideBytes = std::uint64_t{64} << 20;

  ScratchFile() = default;
  ~ScratchFile() { Close(); }
  ScratchFile(ScratchFile&& other) noexcept;
  ScratchFile& operator=(ScratchFile&& other) noexcept;
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // Opens a new one in `folder` (closing one open before); false where none can be made there.
  bool Open(const std::filesystem::path& folder);
  bool IsOpen() const { return handle_ != kNoHandle; }
  // Writes all of `bytes` at `offset`, going on after interruptions and short writes.
  Failed WriteAt(std::uint64_t offset, std::string_view bytes);
  // Reads up to `size` bytes at `offset`; `got` is 0 at the end.
  Failed ReadAt(std::uint64_t offset, char* into, std::size_t size, std::size_t& got) const;
  // Drops every byte (the blocks stay with the file where the system cannot).
  void Empty();
  void Close();

 private:
  static constexpr std::intptr_t kNoHandle = -1;
  std::intptr_t handle_ = kNoHandle;  // the descriptor, or Windows' handle
  std::uint64_t size_ = 0;            // the largest end written since it was opened or emptied
};

}  // namespace varnow
