// SPDX-License-Identifier: MIT
#include "files/StreamedLog.h"

#include <algorithm>
#include <system_error>

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

bool IsOutOfSpace(const Failed& failed) {
  return failed && failed->cause == FailureCause::kNoRoom;
}

}  // namespace

void AppendLogTextBytes(std::string& out, std::string_view utf8Text, LogEncoding encoding) {
  if (encoding == LogEncoding::kUtf8) {
    AppendLogLineAsUtf8(out, utf8Text);
  } else {
    AppendLogLineAsCp1251(out, utf8Text);
  }
}

void AppendLogLineBytes(std::string& out, std::string_view utf8Line, LogEncoding encoding) {
  AppendLogTextBytes(out, utf8Line, encoding);
  out += "\r\n";
}

void StreamedLog::AddConverted(std::string_view bytes) {
  if (error_ || spaceError_) {
    return;  // the log is lost already, or the page's lines are dropped at its Settle
  }
  if (!body_.IsOpen() || bytes.size() < kWrittenInPlace) {
    buffer_ += bytes;
    FlushWhenFull();
    return;
  }
  // A page's lines, converted on the thread that cleaned it, go to disk without another copy.
  Failed failed = Flush(kEndRoom);
  if (!failed && !error_) {
    failed = WriteAtEnd(bytes, kEndRoom);
  }
  if (IsOutOfSpace(failed)) {
    spaceError_ = std::move(failed);
  }
}

void StreamedLog::Reset() {
  body_.Close();
  opened_ = false;
  reserved_ = 0;
  size_ = 0;
  taken_ = 0;
  error_.reset();
  spaceError_.reset();
  flushAt_ = kBufferBytes;
  encoding_ = LogEncoding::kCp1251;
  buffer_.clear();
  buffer_.shrink_to_fit();
}

void StreamedLog::Fail(FileWriteError::Stage stage, const SystemFailure& why) {
  if (!error_) {
    error_ = why;
    errorStage_ = stage;
  }
}

void StreamedLog::Open(const std::filesystem::path& folder,
                       const std::vector<std::string>& expectedHeader) {
  opened_ = true;
  Failed failed = body_.Open(folder);
  if (failed) {
    std::error_code ignored;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(ignored);
    failed = body_.Open(temporary);
  }
  if (failed) {
    Fail(FileWriteError::Stage::kCreate, *failed);
    buffer_.clear();
    return;
  }
  reserved_ = static_cast<std::int64_t>(HeaderBytes(expectedHeader, encoding_).size());
  // The header's room and the end's, taken now; on a disk already full, at the first page; where
  // they cannot be taken at all (a limit on file sizes), the lines are written as they come.
  TakeRoomUpTo(reserved_ + kEndRoom);
  Flush(kEndRoom);
}

void StreamedLog::Add(std::string_view utf8Line) {
  if (error_) {
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
  flushAt_ = !Flush(kEndRoom) ? kBufferBytes : buffer_.size() + kBufferBytes;
}

Failed StreamedLog::TakeRoomUpTo(std::int64_t end) {
  if (end <= taken_) {
    return std::nullopt;
  }
  // A step ahead at least, growing with the log (an eighth of it, 64 KB to 1 MB): few calls
  // for a long log, little room for a short one on a small disk; and the room a log holds is a
  // function of its lines alone, so a disk fills at the same page whatever else was written
  // meanwhile.
  end = std::max(end, taken_ + std::clamp<std::int64_t>(taken_ / 8, kEndRoom, kMostRoomStep));
  std::int64_t length = taken_;
  Failed failed = body_.TakeRoom(taken_, end, length);
  if (!failed) {
    taken_ = end;
    return std::nullopt;
  }
  taken_ = std::max(taken_, length);  // a part was taken
  return failed;
}

Failed StreamedLog::WriteAtEnd(std::string_view bytes, std::int64_t room) {
  const std::int64_t at = reserved_ + size_;
  Failed failed = TakeRoomUpTo(at + static_cast<std::int64_t>(bytes.size()) + room);
  if (IsOutOfSpace(failed)) {
    return failed;
  }
  // Room that cannot be taken for another reason (a limit on file sizes, a file system that
  // refuses) leaves it to the write to say whether the bytes fit.
  failed = body_.WriteAt(at, bytes);
  if (!failed) {
    size_ += static_cast<std::int64_t>(bytes.size());
  } else if (!IsOutOfSpace(failed)) {
    Fail(FileWriteError::Stage::kWrite, *failed);
  }
  return failed;
}

Failed StreamedLog::Flush(std::int64_t room) {
  if (!body_.IsOpen() || buffer_.empty() || error_) {
    return std::nullopt;
  }
  Failed failed = WriteAtEnd(buffer_, room);
  if (IsOutOfSpace(failed)) {
    return failed;  // the lines wait here
  }
  buffer_.clear();  // written, or lost with the error Save reports
  return std::nullopt;
}

Failed StreamedLog::Settle(const Mark& mark) {
  Failed failed = spaceError_;
  if (!failed && body_.IsOpen() && !error_) {
    // Room taken on the disk for the lines waiting in memory is as good as their being there:
    // they are written with the next full buffer.
    failed = TakeRoomUpTo(reserved_ + size_ + static_cast<std::int64_t>(buffer_.size()) + kEndRoom);
    if (!IsOutOfSpace(failed)) {
      failed.reset();  // room that cannot be taken otherwise: the writes say whether lines fit
    }
  }
  if (!failed) {
    return std::nullopt;
  }
  RollBack(mark);
  return failed;
}

void StreamedLog::RollBack(const Mark& mark) {
  spaceError_.reset();
  const std::int64_t kept = mark.written + static_cast<std::int64_t>(mark.buffered);
  if (size_ < kept) {
    buffer_.resize(static_cast<std::size_t>(kept - size_));
    return;
  }
  buffer_.clear();
  if (size_ == kept) {
    return;
  }
  size_ = kept;
  if (body_.IsOpen() && !body_.Truncate(reserved_ + size_)) {
    taken_ = reserved_ + size_;
    TakeRoomUpTo(taken_ + kEndRoom);  // the room the dropped lines had held, taken back
  }
}

void StreamedLog::Save(const std::filesystem::path& target, const std::vector<std::string>& header,
                       const std::function<void()>& pump) {
  // The last lines go into the room kept for them.
  if (const Failed failed = Flush(0)) {
    throw FileWriteError(FileWriteError::Stage::kWrite, *failed);
  }
  if (error_) {
    throw FileWriteError(errorStage_, *error_);
  }
  const std::string head = HeaderBytes(header, encoding_);
  if (body_.IsOpen() && static_cast<std::int64_t>(head.size()) == reserved_) {
    // The header fills the room left for it: the file, cut to its lines, becomes log.txt as it
    // stands.
    if (const Failed failed = body_.WriteAt(0, head)) {
      throw FileWriteError(FileWriteError::Stage::kWrite, *failed);
    }
    if (const Failed failed = body_.Truncate(reserved_ + size_)) {
      throw FileWriteError(FileWriteError::Stage::kWrite, *failed);
    }
    taken_ = reserved_ + size_;
    if (body_.GiveName(target)) {
      return;
    }
  }
  NewFile file(target);
  file.Write(head);
  if (body_.IsOpen()) {
    body_.CopyTo(file, reserved_, reserved_ + size_, pump);
  } else {
    file.Write(buffer_);  // never opened: the few lines are still here
  }
  file.Commit();
  Reset();  // a body with a name of its own goes now, not at the next run
}

}  // namespace varnow
