// SPDX-License-Identifier: MIT
#include "files/StreamedLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "text/Cp1251.h"

namespace varnow {
namespace {

// Lines are written in pieces of this size: few system calls, little memory.
constexpr std::size_t kBufferBytes = 256 * 1024;
// Converted lines of at least this size are written from where they are, not copied first.
constexpr std::size_t kWrittenInPlace = 64 * 1024;

std::string HeaderBytes(const std::vector<std::string>& header, LogEncoding encoding) {
  std::string bytes;
  for (const std::string& line : header) {
    AppendLogLineBytes(bytes, line, encoding);
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

void AppendLogLineBytes(std::string& out, std::string_view utf8Line, LogEncoding encoding) {
  if (encoding == LogEncoding::kUtf8) {
    AppendLogLineAsUtf8(out, utf8Line);
  } else {
    AppendLogLineAsCp1251(out, utf8Line);
  }
  out += "\r\n";
}

void StreamedLog::AddConverted(std::string_view bytes) {
  if (error_ != 0) {
    return;
  }
  if (fd_ < 0 || bytes.size() < kWrittenInPlace) {
    buffer_ += bytes;
    if (opened_ && buffer_.size() >= kBufferBytes) {
      Flush();
    }
    return;
  }
  // A page's lines, converted on the thread that cleaned it, go to disk without another copy.
  Flush();
  if (error_ != 0) {
    return;
  }
  if (const int err = WriteAll(fd_, bytes); err != 0) {
    Fail(FileWriteError::Stage::kWrite, err);
  }
  size_ += static_cast<off_t>(bytes.size());
}

void StreamedLog::Reset() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
  if (!bodyName_.empty()) {
    ::unlink(bodyName_.c_str());
    bodyName_.clear();
  }
  fd_ = -1;
  opened_ = false;
  reserved_ = 0;
  size_ = 0;
  error_ = 0;
  encoding_ = LogEncoding::kCp1251;
  buffer_.clear();
  buffer_.shrink_to_fit();
}

void StreamedLog::Fail(FileWriteError::Stage stage, int err) {
  if (error_ == 0) {
    error_ = err;
    errorStage_ = stage;
  }
}

int StreamedLog::OpenBody(const std::filesystem::path& folder) {
  // 0666: the file may become log.txt itself, with the permissions any new file gets.
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (fd >= 0 || !NoUnnamedFiles(errno)) {
    return fd >= 0 ? fd : -errno;
  }
  // No unnamed files here: the lines go to a file of the program's own temporary name, which
  // becomes log.txt by a rename and is removed when the log is forgotten.
  return CreateTemporaryFile(folder, O_RDWR, bodyName_);
}

void StreamedLog::Open(const std::filesystem::path& folder,
                       const std::vector<std::string>& expectedHeader) {
  opened_ = true;
  int fd = OpenBody(folder);
  if (fd < 0) {
    fd = OpenBody(std::filesystem::temp_directory_path());
  }
  if (fd < 0) {
    Fail(FileWriteError::Stage::kCreate, -fd);
    buffer_.clear();
    return;
  }
  fd_ = fd;
  reserved_ = static_cast<off_t>(HeaderBytes(expectedHeader, encoding_).size());
  if (::lseek(fd_, reserved_, SEEK_SET) < 0) {
    Fail(FileWriteError::Stage::kWrite, errno);
  }
  Flush();
}

void StreamedLog::Add(std::string_view utf8Line) {
  if (error_ != 0) {
    return;  // the log is lost already; Save says so
  }
  AppendLogLineBytes(buffer_, utf8Line, encoding_);
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

void StreamedLog::Save(const std::filesystem::path& target, const std::vector<std::string>& header,
                       const std::function<void()>& pump) {
  Flush();
  if (error_ != 0) {
    throw FileWriteError(errorStage_, error_);
  }
  const std::string head = HeaderBytes(header, encoding_);
  if (fd_ >= 0 && static_cast<off_t>(head.size()) == reserved_) {
    // The header fills the room left for it: the file becomes log.txt as it stands.
    if (const int err = WriteAllAt(fd_, head, 0); err != 0) {
      throw FileWriteError(FileWriteError::Stage::kWrite, err);
    }
    if (GiveBodyTheName(target)) {
      return;
    }
  }
  NewFile file(target);
  file.Write(head);
  if (fd_ >= 0) {
    CopyBytes(fd_, reserved_, reserved_ + size_, file.Descriptor(), pump);
  } else {
    file.Write(buffer_);  // never opened: the few lines are still here
  }
  file.Commit();
  Reset();  // a body with a name of its own goes now, not at the next run
}

bool StreamedLog::GiveBodyTheName(const std::filesystem::path& target) {
  const int fd = fd_;
  if (!bodyName_.empty()) {
    if (!CommitNamed(fd, bodyName_, target)) {
      return false;  // another file system (the temporary folder): copied instead
    }
    fd_ = -1;
    bodyName_.clear();
    return true;
  }
  try {
    if (!CommitUnnamed(fd, target)) {
      return false;
    }
  } catch (const FileWriteError&) {
    fd_ = -1;  // closed by the failed commit
    throw;
  }
  fd_ = -1;
  return true;
}

}  // namespace varnow
