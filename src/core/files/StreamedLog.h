// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "files/ReplaceFile.h"
#include "platform/LogBody.h"
#include "platform/SystemFailure.h"
#include "text/LogEncoding.h"

namespace varnow {

// log.txt as a run makes it. Each line is converted to cp1251 (bytes of a file name that are not
// UTF-8 are kept as they are), ended with CR LF and written to an unnamed file as it is added,
// so the run's memory does not grow with its log. The lines start behind room left for the
// header as it is expected to be; when the real header fits that room exactly (it does unless
// the date or the elapsed time gained a digit), Save writes it there and gives the file its
// name: the log is never copied. Otherwise, or when log.txt goes to another file system, Save
// writes the header to a new file and copies the lines behind it inside the kernel. log.txt
// is complete or absent, never partial; a killed run leaves no file, as the lines never had a
// name. On a file system without unnamed files (FAT, many FUSE and network file systems) the
// lines go to a file with a short temporary name that is renamed to log.txt, or removed when the
// log is forgotten.
//
// The log comes first on a disk that fills up. The header's room and, behind the last line,
// room for the run's last lines (kEndRoom: an error, the stop) are taken on the disk for real
// (allocated, or written as zeros where the file system cannot allocate), so a copy never takes
// the log's room and Save can always end the log with the error that ended the run. The file is
// longer than its lines by that room until Save cuts it. A page's lines are settled (their room
// on the disk taken, with the room for the end behind it) before its copy is named; where the
// disk has no room for them, they are dropped again, from memory and from the file, so the log
// stands as it did before the page and the run can end there, or try the page again once space
// is freed.
// A line as log.txt holds it, in `encoding` (see AppendLogLineAsCp1251 and AppendLogLineAsUtf8),
// ended with CR LF, appended to `out`.
void AppendLogLineBytes(std::string& out, std::string_view utf8Line,
                        LogEncoding encoding = LogEncoding::kCp1251);
// The same without the line's end, for a piece of a line. Both conversions take each character
// alone, so the pieces of a line cut between characters, converted one by one and joined, are
// the line converted whole.
void AppendLogTextBytes(std::string& out, std::string_view utf8Text, LogEncoding encoding);

class StreamedLog {
 public:
  StreamedLog() = default;
  ~StreamedLog() { Reset(); }
  StreamedLog(const StreamedLog&) = delete;
  StreamedLog& operator=(const StreamedLog&) = delete;

  // Forgets the log. Lines added before Open wait in memory (a run's first few lines, made
  // before it knows where log.txt goes).
  void Reset();
  // The encoding of the lines from now on; set before the first line, it stays until Reset.
  void SetEncoding(LogEncoding encoding) { encoding_ = encoding; }
  // Puts the lines in `folder`, where log.txt is expected, behind room for `expectedHeader`;
  // where the file cannot be made there, in the system's temporary folder.
  void Open(const std::filesystem::path& folder, const std::vector<std::string>& expectedHeader);
  void Add(std::string_view utf8Line);
  // Lines converted already (by LogLineBytes), back to back.
  void AddConverted(std::string_view bytes);
  // Where the log stands: what a page's lines are settled against.
  struct Mark {
    std::int64_t written = 0;  // lines on disk
    std::size_t buffered = 0;  // and waiting in memory
  };
  Mark Position() const { return {size_, buffer_.size()}; }
  // Makes sure every line added so far has its room on the disk, with the room for the last
  // lines behind them (lines still in memory are written later, into room taken for them).
  // Where the disk has no room for them (a full disk or quota), drops every line added since
  // `mark` and fails. Other write errors are kept for Save, as always.
  Failed Settle(const Mark& mark);
  // Drops every line added since `mark` (a page whose copy could not be put in place).
  void RollBack(const Mark& mark);
  // Writes `header` (UTF-8 lines) and then every line added as `target`, replacing it. `pump`
  // runs between pieces of the copy, so a host stays responsive however long the log is.
  // Throws FileWriteError, also for a body that could not be made or written.
  void Save(const std::filesystem::path& target, const std::vector<std::string>& header,
            const std::function<void()>& pump);

  // The room kept on disk behind the last line for the run's last lines, and the largest step
  // in which room is taken.
  static constexpr std::int64_t kEndRoom = 64 * 1024;
  static constexpr std::int64_t kMostRoomStep = 1024 * 1024;

 private:
  // Writes the buffered lines behind those on disk, with `room` bytes taken behind them.
  // Returns nothing, or why not where the disk has no room (the lines then stay in memory);
  // other failures are kept in error_.
  Failed Flush(std::int64_t room);
  // Flushes once the buffer holds flushAt_ bytes.
  void FlushWhenFull();
  // Takes the disk's room up to `end` bytes of the file.
  Failed TakeRoomUpTo(std::int64_t end);
  // Writes bytes of the log at its end, `room` bytes taken behind them. As Flush.
  Failed WriteAtEnd(std::string_view bytes, std::int64_t room);
  void Fail(FileWriteError::Stage stage, const SystemFailure& why);

  std::string buffer_;  // converted lines not yet written
  LogEncoding encoding_ = LogEncoding::kCp1251;
  LogBody body_;  // the file of the lines, once opened
  bool opened_ = false;
  std::int64_t reserved_ = 0;  // room left for the header at the start of the file
  std::int64_t size_ = 0;      // bytes of lines on disk, behind that room
  std::int64_t taken_ = 0;     // the file's length: its room on disk, beyond its lines
  Failed error_;               // the first failure of the body, if any
  Failed spaceError_;          // lines were dropped for want of space since the last Settle
  // Lines are written in pieces of this size: few system calls, little memory.
  static constexpr std::size_t kBufferBytes = 256 * 1024;
  std::size_t flushAt_ = kBufferBytes;  // the buffer's size that makes the next flush
  FileWriteError::Stage errorStage_ = FileWriteError::Stage::kWrite;
};

}  // namespace varnow
