// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "control/StopToken.h"
#include "platform/FileFacts.h"
#include "platform/SystemFailure.h"

namespace varnow {

// A source page, opened for reading only: it is never written.
class SourceFile {
 public:
  // How much is read between two pumps while loading.
  static constexpr std::size_t kBlockSize = 64 * 1024;

  // Opens a regular file; a folder or another kind of file is not opened.
  Failed Open(const std::string& path) { return file_.Open(path); }
  void Close() { file_.Close(); }
  bool IsOpen() const { return file_.IsOpen(); }

  // Hands the file's bytes to `sink` block by block, polling `stop` after each block and
  // stopping when it says so.
  using Sink = std::function<void(std::string_view bytes)>;
  Failed Load(const Sink& sink, const StopToken& stop);

  // The open file's size in bytes, as it was opened.
  std::uint64_t Size() const { return file_.Facts().size; }
  // The open file's identity, so that no output is ever written over it.
  FileIdentity Identity() const { return file_.Facts().identity; }
  // Its size, times and identity as it was opened.
  const FileFacts& Facts() const { return file_.Facts(); }

 private:
  ReadOnlyFile file_;
};

}  // namespace varnow
