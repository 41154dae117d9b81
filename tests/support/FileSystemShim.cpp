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

extern "C" {

int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeOf(flags, args);
  va_end(args);
  if (RefusedOpen(flags)) {
    return -1;
  }
  static const auto next = Next<int (*)(const char*, int, ...)>("open");
  return next(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeOf(flags, args);
  va_end(args);
  if (RefusedOpen(flags)) {
    return -1;
  }
  static const auto next = Next<int (*)(const char*, int, ...)>("open64");
  return next(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeOf(flags, args);
  va_end(args);
  if (RefusedOpen(flags)) {
    return -1;
  }
  static const auto next = Next<int (*)(int, const char*, int, ...)>("openat");
  return next(dir, path, flags, mode);
}

int openat64(int dir, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeOf(flags, args);
  va_end(args);
  if (RefusedOpen(flags)) {
    return -1;
  }
  static const auto next = Next<int (*)(int, const char*, int, ...)>("openat64");
  return next(dir, path, flags, mode);
}

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
