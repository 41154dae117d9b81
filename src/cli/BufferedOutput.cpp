// SPDX-License-Identifier: MIT
#include "BufferedOutput.h"

#include "files/ReplaceFile.h"

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
  if (const int err = WriteAll(fd_, buffer_); err != 0) {
    error_ = FailureOf(err);
  }
  buffer_.clear();
}

}  // namespace varnow::cli
