// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/SystemFailure.h"

namespace varnow {

class NewFile;

// The file that holds log.txt's lines while a run makes them, and becomes log.txt at its end.
// It has no name where the file system allows (O_TMPFILE), else the program's own temporary
// name (".vnXXXXXXXX.t", locked while it is written; on Windows always, held open without
// sharing its deletion), removed when the body is closed without a name. Room on the disk is
// taken for real, so that a disk filling up meets the copies first.
class LogBody {
 public:
  LogBody() = default;
  ~LogBody() { Close(); }
  LogBody(const LogBody&) = delete;
  LogBody& operator=(const LogBody&) = delete;

  // Opens a new body in `folder`.
  Failed Open(const std::filesystem::path& folder);
  bool IsOpen() const { return handle_ != kNoHandle; }
  // Takes the disk's room for the file from `from` up to `end` bytes. `length` is the file's
  // length afterwards, also where only a part could be taken.
  Failed TakeRoom(std::int64_t from, std::int64_t end, std::int64_t& length);
  Failed WriteAt(std::int64_t at, std::string_view bytes);
  Failed Truncate(std::int64_t length);
  // Copies bytes [from, end) to the end of `file`, calling `pump` between pieces. Throws
  // FileWriteError (kWrite).
  void CopyTo(NewFile& file, std::int64_t from, std::int64_t end,
              const std::function<void()>& pump);
  // Gives the body the name `target`, replacing what stands there as a NewFile's commit does,
  // and closes it. False, with nothing done, where it cannot have that name (another file
  // system, or one without hard links): the caller copies it. Throws FileWriteError (kWrite,
  // kCommit); the body is closed then.
  bool GiveName(const std::filesystem::path& target);
  // Closes the body; a body of a temporary name is removed.
  void Close();

 private:
  static constexpr std::intptr_t kNoHandle = -1;
  std::intptr_t handle_ = kNoHandle;  // the descriptor, or Windows' handle
  std::string named_;                 // its temporary name, where it has one
};

}  // namespace varnow
