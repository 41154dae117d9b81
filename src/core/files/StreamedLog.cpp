// SPDX-License-Identifier: MIT
#include "files/StreamedLog.h"

#include "platform/posix/TemporaryFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "text/Cp1251.h"

namespace varnow {
namespace {

// Converted lines of at least this size are written from where they are, not copied first.
constexpr std::size_t kWrittenInPlace = 64 * 1024;

std::string HeaderBytes(const std::vector<std::string>& header, LogEncoding encoding) {
  std::string bytes;
  for (const std::string& line : header) {
    AppendLogLineBytes(bytes, line, encoding);
  }
  return bytes;
}

bool IsOutOfSpace(int err) {
  return err == ENOSPC || err == EDQUOT;
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
  if (error_ != 0 || spaceError_ != 0) {
    return;  // the log is lost already, or the page's lines are dropped at its Settle
  }
  if (fd_ < 0 || bytes.size() < kWrittenInPlace) {
    buffer_ += bytes;
    FlushWhenFull();
    return;
  }
  // A page's lines, converted on the thread that cleaned it, go to disk without another copy.
  int err = Flush(kEndRoom);
  if (err == 0 && error_ == 0) {
    err = WriteAtEnd(bytes, kEndRoom);
  }
  if (IsOutOfSpace(err)) {
    spaceError_ = err;
  }
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
  taken_ = 0;
  error_ = 0;
  spaceError_ = 0;
  flushAt_ = kBufferBytes;
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
    return fd;
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
    std::error_code ignored;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(ignored);
    fd = OpenBody(temporary);
  }
  if (fd < 0) {
    Fail(FileWriteError::Stage::kCreate, errno);
    buffer_.clear();
    return;
  }
  fd_ = fd;
  reserved_ = static_cast<off_t>(HeaderBytes(expectedHeader, encoding_).size());
  // The header's room and the end's, taken now; on a disk already full, at the first page; where
  // they cannot be taken at all (a limit on file sizes), the lines are written as they come.
  TakeRoomUpTo(reserved_ + kEndRoom);
  Flush(kEndRoom);
}

void StreamedLog::Add(std::string_view utf8Line) {
  if (error_ != 0) {
    return;  // the log is lost already; Save says so
  }
  AppendLogLineBytes(buffer_, utf8Line, encoding_);
  FlushWhenFull();
}

void StreamedLog::FlushWhenFull() {
  if (!opened_ || buffer_.size() < flushAt_) {
    return;
  }
  // Where the disk has no room, the lines wait in memory and the next try comes a buffer later,
  // not with every line.
  flushAt_ = Flush(kEndRoom) == 0 ? kBufferBytes : buffer_.size() + kBufferBytes;
}

int StreamedLog::TakeRoomUpTo(off_t end) {
  if (end <= taken_) {
    return 0;
  }
  // A step ahead at least, growing with the log (an eighth of it, 64 KB to 1 MB): few calls
  // for a long log, little room for a short one on a small disk; and the room a log holds is a
  // function of its lines alone, so a disk fills at the same page whatever else was written
  // meanwhile.
  end = std::max(end, taken_ + std::clamp<off_t>(taken_ / 8, kEndRoom, kMostRoomStep));
  // Blocks of the file's own, taken for real: where the file system cannot allocate, the C
  // library writes them.
  const int err = ::posix_fallocate(fd_, taken_, end - taken_);
  if (err == 0) {
    taken_ = end;
    return 0;
  }
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && st.st_size > taken_) {
    taken_ = st.st_size;  // a part was taken
  }
  return err;
}

int StreamedLog::WriteAtEnd(std::string_view bytes, off_t room) {
  const off_t at = reserved_ + size_;
  int err = TakeRoomUpTo(at + static_cast<off_t>(bytes.size()) + room);
  if (IsOutOfSpace(err)) {
    return err;
  }
  // Room that cannot be taken for another reason (a limit on file sizes, a file system that
  // refuses) leaves it to the write to say whether the bytes fit.
  err = WriteAllAt(fd_, bytes, at);
  if (err == 0) {
    size_ += static_cast<off_t>(bytes.size());
  } else if (!IsOutOfSpace(err)) {
    Fail(FileWriteError::Stage::kWrite, err);
  }
  return err;
}

int StreamedLog::Flush(off_t room) {
  if (fd_ < 0 || buffer_.empty() || error_ != 0) {
    return 0;
  }
  const int err = WriteAtEnd(buffer_, room);
  if (IsOutOfSpace(err)) {
    return err;  // the lines wait here
  }
  buffer_.clear();  // written, or lost with the error Save reports
  return 0;
}

Failed StreamedLog::Settle(const Mark& mark) {
  int err = spaceError_;
  if (err == 0 && fd_ >= 0 && error_ == 0) {
    // Room taken on the disk for the lines waiting in memory is as good as their being there:
    // they are written with the next full buffer.
    err = TakeRoomUpTo(reserved_ + size_ + static_cast<off_t>(buffer_.size()) + kEndRoom);
    if (!IsOutOfSpace(err)) {
      err = 0;  // room that cannot be taken otherwise: the writes say whether the lines fit
    }
  }
  if (err == 0) {
    return std::nullopt;
  }
  RollBack(mark);
  return FailureOf(err);
}

void StreamedLog::RollBack(const Mark& mark) {
  spaceError_ = 0;
  const off_t kept = mark.written + static_cast<off_t>(mark.buffered);
  if (size_ < kept) {
    buffer_.resize(static_cast<std::size_t>(kept - size_));
    return;
  }
  buffer_.clear();
  if (size_ == kept) {
    return;
  }
  size_ = kept;
  if (fd_ >= 0 && ::ftruncate(fd_, reserved_ + size_) == 0) {
    taken_ = reserved_ + size_;
    TakeRoomUpTo(taken_ + kEndRoom);  // the room the dropped lines had held, taken back
  }
}

void StreamedLog::Save(const std::filesystem::path& target, const std::vector<std::string>& header,
                       const std::function<void()>& pump) {
  // The last lines go into the room kept for them.
  if (const int err = Flush(0); err != 0) {
    throw FileWriteError(FileWriteError::Stage::kWrite, err);
  }
  if (error_ != 0) {
    throw FileWriteError(errorStage_, error_);
  }
  const std::string head = HeaderBytes(header, encoding_);
  if (fd_ >= 0 && static_cast<off_t>(head.size()) == reserved_) {
    // The header fills the room left for it: the file, cut to its lines, becomes log.txt as it
    // stands.
    if (const int err = WriteAllAt(fd_, head, 0); err != 0) {
      throw FileWriteError(FileWriteError::Stage::kWrite, err);
    }
    if (::ftruncate(fd_, reserved_ + size_) != 0) {
      throw FileWriteError(FileWriteError::Stage::kWrite, errno);
    }
    taken_ = reserved_ + size_;
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
