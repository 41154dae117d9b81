// SPDX-License-Identifier: MIT
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <string>

#include <string_view>

#include "control/StopToken.h"
#include "platform/SystemFailure.h"

namespace varnow {

// A source page, opened for reading only: it is never written.
class SourceFile {
 public:
  // How much is read between two pumps while loading.
  static constexpr std::size_t kBlockSize = 64 * 1024;

  SourceFile() = default;
  ~SourceFile() { Close(); }
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  // Opens a regular file; a folder or another kind of file is not opened.
  Failed Open(const std::string& path);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  // Hands the file's bytes to `sink` block by block, polling `stop` after each block and
  // stopping when it says so.
  using Sink = std::function<void(std::string_view bytes)>;
  Failed Load(const Sink& sink, const StopToken& stop);

  // The open file's size in bytes, as it was opened.
  std::uint64_t Size() const { return static_cast<std::uint64_t>(stat_.st_size); }
  // The open file's identity, so that no output is ever written over it.
  dev_t Device() const { return stat_.st_dev; }
  ino_t Inode() const { return stat_.st_ino; }

 private:
  int fd_ = -1;
  struct stat stat_ {};
};

}  // namespace varnow
