// SPDX-License-Identifier: MIT
#include "platform/LogBody.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/ReplaceFile.h"
#include "platform/posix/StagedFiles.h"
#include "platform/posix/TemporaryFiles.h"

namespace varnow {
namespace {

int Fd(std::intptr_t handle) {
  return static_cast<int>(handle);
}

}  // namespace

Failed LogBody::Open(const std::filesystem::path& folder) {
  Close();
  // 0666: the file may become log.txt itself, with the permissions any new file gets.
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (fd >= 0) {
    handle_ = fd;
    return std::nullopt;
  }
  if (!NoUnnamedFiles(errno)) {
    return FailureOf(errno);
  }
  // No unnamed files here: the lines go to a file of the program's own temporary name, which
  // becomes log.txt by a rename and is removed when the log is forgotten.
  const int named = CreateTemporaryFile(folder, O_RDWR, named_);
  if (named < 0) {
    return FailureOf(errno);
  }
  handle_ = named;
  return std::nullopt;
}

Failed LogBody::TakeRoom(std::int64_t from, std::int64_t end, std::int64_t& length) {
  // Blocks of the file's own, taken for real: where the file system cannot allocate, the C
  // library writes them.
  const int err = ::posix_fallocate(Fd(handle_), from, end - from);
  if (err == 0) {
    length = end;
    return std::nullopt;
  }
  struct stat st {};
  if (::fstat(Fd(handle_), &st) == 0) {
    length = st.st_size;
  }
  return FailureOf(err);
}

Failed LogBody::WriteAt(std::int64_t at, std::string_view bytes) {
  return WriteAllAt(Fd(handle_), bytes, at);
}

Failed LogBody::Truncate(std::int64_t length) {
  if (::ftruncate(Fd(handle_), length) != 0) {
    return FailureOf(errno);
  }
  return std::nullopt;
}

void LogBody::CopyTo(NewFile& file, std::int64_t from, std::int64_t end,
                     const std::function<void()>& pump) {
  CopyBytes(Fd(handle_), from, end, static_cast<int>(file.NativeHandle()), pump);
}

bool LogBody::GiveName(const std::filesystem::path& target) {
  const int fd = Fd(handle_);
  if (!named_.empty()) {
    if (!CommitNamed(fd, named_, target)) {
      return false;  // another file system (the temporary folder): copied instead
    }
    handle_ = kNoHandle;
    named_.clear();
    return true;
  }
  try {
    if (!CommitUnnamed(fd, target)) {
      return false;
    }
  } catch (const FileWriteError&) {
    handle_ = kNoHandle;  // closed by the failed commit
    throw;
  }
  handle_ = kNoHandle;
  return true;
}

void LogBody::Close() {
  if (IsOpen()) {
    ::close(Fd(handle_));
    handle_ = kNoHandle;
  }
  if (!named_.empty()) {
    ::unlink(named_.c_str());
    named_.clear();
  }
}

}  // namespace varnow
