#include "files/StreamedLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "text/Cp1251.h"

namespace varnow {
namespace {

// Lines are written in pieces of this size: few system calls, little memory.
constexpr std::size_t kBufferBytes = 256 * 1024;
// The copy at the end goes in pieces of this size, with a pump between two.
constexpr std::size_t kCopyPiece = 16 * 1024 * 1024;

// An unnamed file for reading and writing in `folder`, or a named one removed at once where
// the file system has no unnamed files. Returns the descriptor, or -errno.
int OpenUnnamed(const std::filesystem::path& folder) {
  // 0666: the file may become log.txt itself, with the permissions any new file gets.
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (fd >= 0) {
    return fd;
  }
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
    return -errno;
  }
  std::string name = (folder / ".vnXXXXXX").string();
  const int named = ::mkostemp(name.data(), O_CLOEXEC);
  if (named < 0) {
    return -errno;
  }
  ::unlink(name.c_str());
  return named;
}

std::string HeaderBytes(const std::vector<std::string>& header) {
  std::string bytes;
  for (const std::string& line : header) {
    AppendLogLineBytes(bytes, line);
  }
  return bytes;
}

int WriteAllAt(int fd, std::string_view bytes, off_t at) {
  while (!bytes.empty()) {
    const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), at);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
    at += n;
  }
  return 0;
}

}  // namespace

void AppendLogLineBytes(std::string& out, std::string_view utf8Line) {
  AppendLogLineAsCp1251(out, utf8Line);
  out += "\r\n";
}

void StreamedLog::AddConverted(std::string_view bytes) {
  if (error_ != 0) {
    return;
  }
  buffer_ += bytes;
  if (opened_ && buffer_.size() >= kBufferBytes) {
    Flush();
  }
}

void StreamedLog::Reset() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
  fd_ = -1;
  opened_ = false;
  reserved_ = 0;
  size_ = 0;
  error_ = 0;
  buffer_.clear();
  buffer_.shrink_to_fit();
}

void StreamedLog::Fail(FileWriteError::Stage stage, int err) {
  if (error_ == 0) {
    error_ = err;
    errorStage_ = stage;
  }
}

void StreamedLog::Open(const std::filesystem::path& folder,
                       const std::vector<std::string>& expectedHeader) {
  opened_ = true;
  int fd = OpenUnnamed(folder);
  if (fd < 0) {
    fd = OpenUnnamed(std::filesystem::temp_directory_path());
  }
  if (fd < 0) {
    Fail(FileWriteError::Stage::kCreate, -fd);
    buffer_.clear();
    return;
  }
  fd_ = fd;
  reserved_ = static_cast<off_t>(HeaderBytes(expectedHeader).size());
  if (::lseek(fd_, reserved_, SEEK_SET) < 0) {
    Fail(FileWriteError::Stage::kWrite, errno);
  }
  Flush();
}

void StreamedLog::Add(std::string_view utf8Line) {
  if (error_ != 0) {
    return;  // the log is lost already; Save says so
  }
  AppendLogLineBytes(buffer_, utf8Line);
  if (opened_ && buffer_.size() >= kBufferBytes) {
    Flush();
  }
}

void StreamedLog::Flush() {
  if (fd_ < 0 || buffer_.empty()) {
    return;
  }
  if (const int err = WriteAll(fd_, buffer_); err != 0) {
    Fail(FileWriteError::Stage::kWrite, err);
  }
  size_ += static_cast<off_t>(buffer_.size());
  buffer_.clear();
}

void StreamedLog::CopyBody(int to, const std::function<void()>& pump) {
  off_t from = reserved_;
  const off_t end = reserved_ + size_;
  bool inKernel = true;
  std::vector<char> piece;
  while (from < end) {
    const std::size_t want = static_cast<std::size_t>(
        std::min<off_t>(end - from, static_cast<off_t>(kCopyPiece)));
    ssize_t n = -1;
    if (inKernel) {
      n = ::copy_file_range(fd_, &from, to, nullptr, want, 0);
      if (n < 0 && errno != EINTR) {
        // Not between these two files (another file system on an older kernel, a file system
        // without it): copy through memory instead.
        inKernel = false;
        continue;
      }
    } else {
      piece.resize(std::min(want, std::size_t{1024 * 1024}));
      n = ::pread(fd_, piece.data(), piece.size(), from);
      if (n > 0) {
        if (const int err = WriteAll(to, std::string_view(piece.data(), static_cast<std::size_t>(n)));
            err != 0) {
          throw FileWriteError(FileWriteError::Stage::kWrite, err);
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
      throw FileWriteError(FileWriteError::Stage::kWrite, EIO);  // the body lost bytes
    }
    if (pump) {
      pump();
    }
  }
}

void StreamedLog::Save(const std::filesystem::path& target, const std::vector<std::string>& header,
                       const std::function<void()>& pump) {
  Flush();
  if (error_ != 0) {
    throw FileWriteError(errorStage_, error_);
  }
  const std::string head = HeaderBytes(header);
  if (fd_ >= 0 && static_cast<off_t>(head.size()) == reserved_) {
    // The header fills the room left for it: the file becomes log.txt as it stands.
    if (const int err = WriteAllAt(fd_, head, 0); err != 0) {
      throw FileWriteError(FileWriteError::Stage::kWrite, err);
    }
    const int fd = fd_;
    bool named = false;
    try {
      named = CommitUnnamed(fd, target);
    } catch (const FileWriteError&) {
      fd_ = -1;  // closed by the failed commit
      throw;
    }
    if (named) {
      fd_ = -1;
      return;
    }
  }
  NewFile file(target);
  file.Write(head);
  if (fd_ >= 0) {
    CopyBody(file.Descriptor(), pump);
  } else {
    file.Write(buffer_);  // never opened: the few lines are still here
  }
  file.Commit();
}

}  // namespace varnow
