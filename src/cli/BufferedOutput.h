// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "platform/StandardStreams.h"
#include "platform/SystemFailure.h"

namespace varnow::cli {

// Standard output for log lines: written through a large buffer (a write per line costs more
// than the cleaning), flushed when full, when the owner asks, and on destruction. When the
// reader has gone (a closed pipe) or the output fails, what follows is dropped and the error
// is kept, so the run itself goes on.
class BufferedOutput {
 public:
  static constexpr std::size_t kCapacity = 1024 * 1024;

  explicit BufferedOutput(StandardStream stream) : stream_(stream) { buffer_.reserve(kCapacity); }
  ~BufferedOutput() { Flush(); }
  BufferedOutput(const BufferedOutput&) = delete;
  BufferedOutput& operator=(const BufferedOutput&) = delete;

  void Add(std::string_view bytes);
  void Flush();
  // Something waits, and `interval` has passed since the last flush.
  bool Due(std::chrono::milliseconds interval) const {
    return !buffer_.empty() && std::chrono::steady_clock::now() - lastFlush_ >= interval;
  }
  bool Pending() const { return !buffer_.empty(); }
  // Why the write failed, once one has (nothing is written after it).
  const Failed& Error() const { return error_; }

 private:
  StandardStream stream_;
  std::string buffer_;
  Failed error_;
  // Long ago: the first lines go out at the first chance, so a watcher sees the run start.
  std::chrono::steady_clock::time_point lastFlush_{};
};

}  // namespace varnow::cli
