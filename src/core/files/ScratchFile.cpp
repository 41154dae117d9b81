// SPDX-License-Identifier: MIT
#include "files/ScratchFile.h"

#include <fcntl.h>
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

}  // namespace varnow
