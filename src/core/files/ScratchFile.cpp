// SPDX-License-Identifier: MIT
#include "files/ScratchFile.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "files/ReplaceFile.h"

namespace varnow {

int OpenScratchFile(const std::filesystem::path& folder) {
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

void CloseScratchFile(int fd, std::uint64_t bytes) {
  if (fd < 0) {
    return;
  }
  if (bytes >= kFreedAsideBytes) {
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

}  // namespace varnow
