// SPDX-License-Identifier: MIT
// Loaded with LD_PRELOAD, this makes the process see a file system that lacks what FAT, many
// FUSE and network file systems lack. VARNOW_SHIM lists what is missing, comma-separated:
//   no-tmpfile  open(O_TMPFILE) fails with EOPNOTSUPP
//   no-links    link() and linkat() fail with EPERM
// Nothing else is changed.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

bool Missing(const char* what) {
  const char* list = std::getenv("VARNOW_SHIM");
  return list != nullptr && std::strstr(list, what) != nullptr;
}

bool RefusedOpen(int flags) {
  if ((flags & O_TMPFILE) == O_TMPFILE && Missing("no-tmpfile")) {
    errno = EOPNOTSUPP;
    return true;
  }
  return false;
}

template <typename Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

mode_t ModeOf(int flags, va_list args) {
  // O_TMPFILE includes O_DIRECTORY, so it is tested whole.
  return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(args, mode_t) : 0;
}

}  // namespace

// open, open64, openat and openat64: O_TMPFILE refused where asked, everything else passed on.
#define VARNOW_SHIM_OPEN(NAME, PARAMS, ARGS)               \
  int NAME PARAMS {                                        \
    va_list args;                                          \
    va_start(args, flags);                                 \
    const mode_t mode = ModeOf(flags, args);               \
    va_end(args);                                          \
    if (RefusedOpen(flags)) {                              \
      return -1;                                           \
    }                                                      \
    static const auto next = Next<decltype(&NAME)>(#NAME); \
    return next ARGS;                                      \
  }

extern "C" {

VARNOW_SHIM_OPEN(open, (const char* path, int flags, ...), (path, flags, mode))
VARNOW_SHIM_OPEN(open64, (const char* path, int flags, ...), (path, flags, mode))
VARNOW_SHIM_OPEN(openat, (int dir, const char* path, int flags, ...), (dir, path, flags, mode))
VARNOW_SHIM_OPEN(openat64, (int dir, const char* path, int flags, ...), (dir, path, flags, mode))

int link(const char* from, const char* to) {
  if (Missing("no-links")) {
    errno = EPERM;
    return -1;
  }
  static const auto next = Next<int (*)(const char*, const char*)>("link");
  return next(from, to);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
  if (Missing("no-links")) {
    errno = EPERM;
    return -1;
  }
  static const auto next = Next<int (*)(int, const char*, int, const char*, int)>("linkat");
  return next(fromDir, from, toDir, to, flags);
}

}  // extern "C"
