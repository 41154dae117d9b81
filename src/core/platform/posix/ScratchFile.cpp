// SPDX-License-Identifier: MIT
#include "platform/ScratchFile.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "platform/posix/DescriptorIo.h"
#include "platform/posix/ScratchClose.h"
#include "platform/posix/TemporaryFiles.h"

namespace varnow {
namespace {

int Fd(std::intptr_t handle) {
  return static_cast<int>(handle);
}

int OpenScratchDescriptor(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0) {
    return fd;
  }
  if (!NoUnnamedFiles(errno)) {
    return -1;
  }
  std::string name;
  const int named = CreateTemporaryFile(folder, O_RDWR, name);
  if (named < 0) {
    return -1;
  }
  ::unlink(name.c_str());
  return named;
}

}  // namespace

void CloseScratchDescriptor(int fd, std::uint64_t bytes) {
  if (fd < 0) {
    return;
  }
  if (bytes >= ScratchFile::kFreedAsideBytes) {
    // A child of a threaded process may call only what is safe in a signal handler: _Fork
    // (fork without its handlers), close_range, ftruncate and _exit are. The child exits at
    // once, so that it is waited for here and leaves no zombie; the grandchild, adopted by
    // init, does the slow part.
    const pid_t child = ::fork();
    if (child == 0) {
      if (::_Fork() == 0) {
        if (fd > 0) {
          ::close_range(0, static_cast<unsigned>(fd) - 1, 0);
        }
        ::close_range(static_cast<unsigned>(fd) + 1, ~0U, 0);
        (void)::ftruncate(fd, 0);
        ::_exit(0);
      }
      ::_exit(0);
    }
    if (child > 0) {
      int status = 0;
      while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
      }
    }
  }
  ::close(fd);
}

bool ScratchFile::Open(const std::filesystem::path& folder) {
  Close();
  const int fd = OpenScratchDescriptor(folder);
  if (fd < 0) {
    return false;
  }
  handle_ = fd;
  return true;
}

Failed ScratchFile::WriteAt(std::uint64_t offset, std::string_view bytes) {
  if (Failed failed = WriteAllAt(Fd(handle_), bytes, static_cast<off_t>(offset))) {
    return failed;
  }
  size_ = std::max(size_, offset + bytes.size());
  return std::nullopt;
}

Failed ScratchFile::ReadAt(std::uint64_t offset, char* into, std::size_t size,
                           std::size_t& got) const {
  return varnow::ReadAt(Fd(handle_), static_cast<off_t>(offset), into, size, got);
}

void ScratchFile::Empty() {
  if (IsOpen() && ::ftruncate(Fd(handle_), 0) == 0) {
    size_ = 0;
  }
}

void ScratchFile::Close() {
  if (IsOpen()) {
    CloseScratchDescriptor(Fd(handle_), size_);
    handle_ = kNoHandle;
    size_ = 0;
  }
}

}  // namespace varnow
