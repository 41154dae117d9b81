// SPDX-License-Identifier: MIT
#include "platform/OpenFileLimit.h"

#include <dirent.h>
#include <sys/resource.h>

namespace varnow {
namespace {

// The files the process has open now (where that cannot be learned, a generous guess).
std::uint64_t FilesOpenNow() {
  DIR* dir = ::opendir("/proc/self/fd");
  if (dir == nullptr) {
    return 16;
  }
  std::uint64_t open = 0;
  while (const dirent* entry = ::readdir(dir)) {
    open += entry->d_name[0] != '.' ? 1 : 0;
  }
  ::closedir(dir);
  return open > 0 ? open - 1 : 0;  // less the folder's own descriptor
}

}  // namespace

std::optional<std::uint64_t> FilesLeftToOpen() {
  rlimit files{};
  if (::getrlimit(RLIMIT_NOFILE, &files) != 0 || files.rlim_cur == RLIM_INFINITY) {
    return std::nullopt;
  }
  const std::uint64_t open = FilesOpenNow();
  return files.rlim_cur > open ? files.rlim_cur - open : 0;
}

}  // namespace varnow
