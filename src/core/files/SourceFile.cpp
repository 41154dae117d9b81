// SPDX-License-Identifier: MIT
#include "files/SourceFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace varnow {

Failed SourceFile::Open(const std::string& path) {
  Close();
  // O_NONBLOCK keeps a FIFO that appeared since the search from blocking the open.
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) {
    return FailureOf(errno);
  }
  if (::fstat(fd_, &stat_) != 0) {
    const int err = errno;
    Close();
    return FailureOf(err);
  }
  if (!S_ISREG(stat_.st_mode)) {
    Close();
    return FailureOf(S_ISDIR(stat_.st_mode) ? EISDIR : EINVAL);
  }
  return std::nullopt;
}

void SourceFile::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

Failed SourceFile::Load(const Sink& sink, const StopToken& stop) {
  std::vector<char> block(kBlockSize);
  for (;;) {
    const ssize_t n = ::read(fd_, block.data(), block.size());
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return FailureOf(errno);
    }
    if (n == 0) {
      return std::nullopt;
    }
    sink(std::string_view(block.data(), static_cast<std::size_t>(n)));
    if (stop.Poll()) {
      return std::nullopt;
    }
  }
}

}  // namespace varnow
