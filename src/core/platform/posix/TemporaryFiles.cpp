// SPDX-License-Identifier: MIT
#include "platform/posix/TemporaryFiles.h"

#include "platform/TemporaryNames.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <utility>

namespace varnow {
namespace {

// Four random bytes from the kernel: a system call, far cheaper than setting up a
// random_device for every file. Where that fails, the time and the process tell names apart.
std::uint32_t RandomBits() {
  std::uint32_t bits = 0;
  if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != sizeof bits) {
    bits = static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                      (::getpid() << 16));
  }
  return bits;
}

}  // namespace

// The short name of the program's own (TemporaryFileName) in `folder`, of four random bytes.
std::string TemporaryName(const std::filesystem::path& folder) {
  return folder.string() + "/" + TemporaryFileName(RandomBits());
}

// A file of the program's own temporary name is locked while it is written, so that a later
// run removing the names that interrupted runs left behind never takes a live one.
void HoldWhileWritten(int fd) {
  ::flock(fd, LOCK_EX | LOCK_NB);
}

// Unnamed files are missing on some file systems (and older kernels): the open then fails
// with one of these, and a named temporary file serves instead.
bool NoUnnamedFiles(int err) {
  return err == EOPNOTSUPP || err == EISDIR || err == EINVAL;
}

int CreateTemporaryFile(const std::filesystem::path& folder, int access, std::string& name) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string candidate = TemporaryName(folder);
    // Mode 0666 lets the umask give the file the permissions any new file of the user gets.
    const int fd = ::open(candidate.c_str(), access | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      HoldWhileWritten(fd);
      name = std::move(candidate);
      return fd;
    }
    if (errno != EEXIST) {
      return -1;
    }
  }
  errno = EEXIST;
  return -1;
}

}  // namespace varnow
