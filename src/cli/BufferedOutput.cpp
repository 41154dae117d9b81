// SPDX-License-Identifier: MIT
#include "BufferedOutput.h"

#include "platform/StandardStreams.h"

namespace varnow::cli {

void BufferedOutput::Add(std::string_view bytes) {
  if (error_) {
    return;
  }
  if (buffer_.size() + bytes.size() > kCapacity) {
    Flush();
  }
  buffer_ += bytes;
}

void BufferedOutput::Flush() {
  lastFlush_ = std::chrono::steady_clock::now();
  if (buffer_.empty() || error_) {
    buffer_.clear();
    return;
  }
  error_ = WriteToStream(stream_, buffer_);
  buffer_.clear();
}

}  // namespace varnow::cli
