// SPDX-License-Identifier: MIT
#include "files/ReplaceFile.h"

#include "platform/posix/StagedFiles.h"
#include "platform/posix/TemporaryFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace varnow {
namespace {

int Descriptor(const NewFile& file) {
  return static_cast<int>(file.NativeHandle());
}

// A copy goes in pieces of this size, with a pump between two.
constexpr std::size_t kCopyPiece = 16 * 1024 * 1024;
// Pieces given to one writev: the least limit (IOV_MAX) any system has.
constexpr std::size_t kPiecesAtOnce = 1024;

std::filesystem::path FolderOf(const std::filesystem::path& target) {
  const std::filesystem::path folder = target.parent_path();
  return folder.empty() ? std::filesystem::path(".") : folder;
}

// Gives the unnamed file behind `fd` the name `name`.
int LinkUnnamed(int fd, const std::string& name) {
  char self[64];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
  if (::linkat(AT_FDCWD, self, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
    return 0;
  }
  const int err = errno;
  if (err != ENOENT) {
    return err;
  }
  // Without /proc, the descriptor itself (this needs more rights, so it comes second).
  return ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}

}  // namespace

void CopyBytes(int in, off_t from, off_t end, int out, const std::function<void()>& pump) {
  bool inKernel = true;
  std::vector<char> piece;
  while (from < end) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<off_t>(end - from, static_cast<off_t>(kCopyPiece)));
    ssize_t n = -1;
    if (inKernel) {
      n = ::copy_file_range(in, &from, out, nullptr, want, 0);
      if (n < 0 && errno != EINTR) {
        // Not between these two files (another file system on an older kernel, a file system
        // without it): copy through memory instead.
        inKernel = false;
        continue;
      }
    } else {
      piece.resize(std::min(want, std::size_t{1024 * 1024}));
      n = ::pread(in, piece.data(), piece.size(), from);
      if (n > 0) {
        if (Failed failed =
                WriteAll(out, std::string_view(piece.data(), static_cast<std::size_t>(n)))) {
          throw FileWriteError(FileWriteError::Stage::kWrite, std::move(*failed));
        }
        from += n;
      }
    }
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      throw FileWriteError(FileWriteError::Stage::kWrite, errno);
    }
    if (n == 0) {
      throw FileWriteError(FileWriteError::Stage::kWrite, EIO);  // the source lost bytes
    }
    if (pump) {
      pump();
    }
  }
}

NewFile::NewFile(std::filesystem::path target) : target_(std::move(target)) {
  const std::filesystem::path folder = FolderOf(target_);
  // Readable too: where the file system cannot link it to a name, Commit copies it.
  handle_ = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (handle_ >= 0) {
    HoldWhileWritten(Descriptor(*this));  // before it may get a temporary name
    return;
  }
  if (!NoUnnamedFiles(errno)) {
    throw FileWriteError(FileWriteError::Stage::kCreate, errno);
  }
  handle_ = CreateTemporaryFile(folder, O_WRONLY, named_);
  if (handle_ < 0) {
    throw FileWriteError(FileWriteError::Stage::kCreate, errno);
  }
}

NewFile::~NewFile() {
  if (handle_ >= 0) {
    ::close(Descriptor(*this));
  }
  if (!named_.empty()) {
    ::unlink(named_.c_str());
  }
}

std::optional<FileFacts> NewFile::Facts() const {
  struct stat st {};
  if (::fstat(Descriptor(*this), &st) != 0) {
    return std::nullopt;
  }
  FileFacts facts;
  facts.identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  facts.kind = FileKind::kRegular;
  facts.size = static_cast<std::uint64_t>(st.st_size);
  return facts;
}

void NewFile::Write(std::string_view bytes) {
  if (Failed failed = WriteAll(Descriptor(*this), bytes)) {
    throw FileWriteError(FileWriteError::Stage::kWrite, std::move(*failed));
  }
}

void NewFile::Write(const std::vector<std::string_view>& pieces) {
  std::vector<iovec> batch;
  for (std::size_t next = 0; next < pieces.size();) {
    batch.clear();
    for (; next < pieces.size() && batch.size() < kPiecesAtOnce; ++next) {
      batch.push_back({const_cast<char*>(pieces[next].data()), pieces[next].size()});
    }
    std::size_t at = 0;  // the first piece of the batch not yet written whole
    while (at < batch.size()) {
      const ssize_t n =
          ::writev(Descriptor(*this), batch.data() + at, static_cast<int>(batch.size() - at));
      if (n < 0 && errno == EINTR) {
        continue;
      }
      if (n < 0) {
        throw FileWriteError(FileWriteError::Stage::kWrite, errno);
      }
      // A short write: the pieces written whole are passed, the one cut short goes on after
      // what was written of it.
      auto left = static_cast<std::size_t>(n);
      while (at < batch.size() && left >= batch[at].iov_len) {
        left -= batch[at++].iov_len;
      }
      if (at < batch.size()) {
        batch[at].iov_base = static_cast<char*>(batch[at].iov_base) + left;
        batch[at].iov_len -= left;
      }
    }
  }
}

namespace {

// A file being replaced keeps its permissions; a symbolic link there is not looked through.
void KeepPermissions(int fd, const std::filesystem::path& target) {
  struct stat old {};
  if (::lstat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    ::fchmod(fd, old.st_mode & 07777);
  }
}

// Links the unnamed file behind `fd` under a fresh temporary name beside `target`; the name,
// or the errno of the failure.
std::string LinkBeside(int fd, const std::filesystem::path& target, int& err) {
  err = EEXIST;
  for (int attempt = 0; attempt < kNameAttempts && err == EEXIST; ++attempt) {
    std::string name = TemporaryName(FolderOf(target));
    err = LinkUnnamed(fd, name);
    if (err == 0) {
      return name;
    }
  }
  return {};
}

// Closes the named temporary file and renames it over the target; removes it on failure.
void CloseAndRename(int fd, const std::string& named, const std::filesystem::path& target) {
  using Stage = FileWriteError::Stage;
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(named.c_str());
    throw FileWriteError(Stage::kWrite, err);
  }
  if (::rename(named.c_str(), target.c_str()) != 0) {
    const int err = errno;
    ::unlink(named.c_str());
    throw FileWriteError(Stage::kCommit, err);
  }
}

}  // namespace

namespace {

// Gives the complete unnamed file the target's name at once where nothing stands there yet: no
// temporary name ever shows. Returns 0 (and `fd` is closed), EEXIST when the target is taken,
// or another errno.
int LinkAsTarget(int fd, const std::filesystem::path& target) {
  const int err = LinkUnnamed(fd, target.string());
  if (err != 0) {
    return err;
  }
  if (::close(fd) != 0) {
    const int closeErr = errno;
    ::unlink(target.c_str());
    throw FileWriteError(FileWriteError::Stage::kWrite, closeErr);
  }
  return 0;
}

}  // namespace

void NewFile::Commit() {
  int err = 0;
  if (named_.empty()) {
    const int fd = Descriptor(*this);
    handle_ = -1;
    err = LinkAsTarget(fd, target_);
    if (err == 0) {
      return;
    }
    handle_ = fd;
    if (err == EEXIST) {
      named_ = LinkBeside(Descriptor(*this), target_, err);
    }
  }
  if (err != 0) {
    // The file system cannot link an unnamed file to a name (no hard links, no /proc and no
    // right to link a descriptor): the bytes go to a named temporary file instead.
    CopyToNamedFile();
  }
  KeepPermissions(Descriptor(*this), target_);
  const int fd = Descriptor(*this);
  handle_ = -1;
  const std::string named = std::move(named_);
  named_.clear();
  CloseAndRename(fd, named, target_);
}

void NewFile::CopyToNamedFile() {
  std::string name;
  const int copy = CreateTemporaryFile(FolderOf(target_), O_WRONLY, name);
  if (copy < 0) {
    throw FileWriteError(FileWriteError::Stage::kCommit, errno);
  }
  const off_t size = ::lseek(Descriptor(*this), 0, SEEK_END);
  try {
    if (size < 0) {
      throw FileWriteError(FileWriteError::Stage::kWrite, errno);
    }
    CopyBytes(Descriptor(*this), 0, size, copy, nullptr);
  } catch (const FileWriteError&) {
    ::close(copy);
    ::unlink(name.c_str());
    throw;
  }
  ::close(Descriptor(*this));
  handle_ = copy;
  named_ = std::move(name);
}

bool CommitUnnamed(int fd, const std::filesystem::path& target) {
  int err = LinkAsTarget(fd, target);
  if (err == 0) {
    return true;
  }
  if (err == EEXIST) {
    KeepPermissions(fd, target);
    const std::string named = LinkBeside(fd, target, err);
    if (err == 0) {
      CloseAndRename(fd, named, target);
      return true;
    }
  }
  // Another file system, or one that cannot give an unnamed file a name: the caller copies.
  return false;
}

bool CommitNamed(int fd, const std::string& name, const std::filesystem::path& target) {
  KeepPermissions(fd, target);
  if (::rename(name.c_str(), target.c_str()) != 0) {
    return false;
  }
  ::close(fd);
  return true;
}

std::vector<std::string> RemoveStrayTemporaryFiles(const std::filesystem::path& folder,
                                                   std::time_t olderThan) {
  std::vector<std::string> removed;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    return removed;
  }
  const int dirFd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporaryName(entry->d_name)) {
      continue;
    }
    const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      continue;
    }
    struct stat st {};
    // Locked, it is being written by a run that goes on; newer than this run, it may be one
    // that has just begun.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_mtime < olderThan &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlinkat(dirFd, entry->d_name, 0) == 0) {
      removed.push_back((folder / entry->d_name).string());
    }
    ::close(fd);
  }
  ::closedir(dir);
  return removed;
}

}  // namespace varnow
