// SPDX-License-Identifier: MIT
#include "platform/posix/DescriptorIo.h"

#include <unistd.h>

#include <cerrno>

namespace varnow {

Failed WriteAllAt(int fd, std::string_view bytes, off_t at) {
  while (!bytes.empty()) {
    const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), at);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return FailureOf(n < 0 ? errno : ENOSPC);
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
    at += n;
  }
  return std::nullopt;
}

namespace {

// Runs `call` (a read that returns what read and pread return) again after interruptions.
template <typename Call>
Failed Retried(const Call& call, std::size_t& got) {
  for (;;) {
    const ssize_t n = call();
    if (n >= 0) {
      got = static_cast<std::size_t>(n);
      return std::nullopt;
    }
    if (errno != EINTR) {
      got = 0;
      return FailureOf(errno);
    }
  }
}

}  // namespace

Failed ReadAt(int fd, off_t at, char* into, std::size_t size, std::size_t& got) {
  return Retried([&] { return ::pread(fd, into, size, at); }, got);
}

Failed ReadSome(int fd, char* into, std::size_t size, std::size_t& got) {
  return Retried([&] { return ::read(fd, into, size); }, got);
}

Failed WriteAll(int fd, std::string_view bytes) {
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, data, left);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return FailureOf(errno);
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  return std::nullopt;
}

}  // namespace varnow
