// SPDX-License-Identifier: MIT
// What a scratch file is on every system; opening, reading, writing and closing are each
// system's own (posix/, windows/).
#include "platform/ScratchFile.h"

#include <utility>

namespace varnow {

ScratchFile::ScratchFile(ScratchFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)), size_(std::exchange(other.size_, 0)) {}

ScratchFile& ScratchFile::operator=(ScratchFile&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kNoHandle);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

}  // namespace varnow
