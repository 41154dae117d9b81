// SPDX-License-Identifier: MIT
#include "platform/posix/TemporaryFiles.h"

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

// ".vn" + 8 hex digits + ".t" in the target's folder: 13 bytes whatever the target's name is,
// so a name up to the system's limit can be replaced. Thirteen characters is what one long-name
// entry of a FAT folder holds: a FAT driver that writes only one such entry (fusefat) cut the
// longer names of earlier versions, ".vnXXXXXXXX.tmp", to ".vnXXXXXXXX.t", which the program
// then could neither rename nor remove by the name it had made.
std::string TemporaryName(const std::filesystem::path& folder) {
  char name[32];
  std::snprintf(name, sizeof name, "/.vn%08x.t", static_cast<unsigned>(RandomBits()));
  return folder.string() + name;
}

// A file of the program's own temporary name is locked while it is written, so that a later
// run removing the names that interrupted runs left behind never takes a live one.
void HoldWhileWritten(int fd) {
  ::flock(fd, LOCK_EX | LOCK_NB);
}

// Whether `name` is one of the program's temporary names: ".vn", 8 hex digits, ".t" (or
// ".tmp", the names earlier versions made).
bool IsTemporaryName(std::string_view name) {
  const bool named = name.size() == 13 && name.ends_with(".t");
  const bool namedBefore = name.size() == 15 && name.ends_with(".tmp");
  if (!(named || namedBefore) || !name.starts_with(".vn")) {
    return false;
  }
  for (const char c : name.substr(3, 8)) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) {
      return false;
    }
  }
  return true;
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
