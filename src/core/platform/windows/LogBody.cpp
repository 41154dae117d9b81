// SPDX-License-Identifier: MIT
// log.txt's lines on Windows: a file of the program's temporary name, its room taken by
// setting its end (NTFS allocates the clusters, and says when the disk has none), renamed to
// log.txt through its own handle.
#include <windows.h>

#include <algorithm>
#include <string>

#include "files/ReplaceFile.h"
#include "platform/LogBody.h"
#include "platform/windows/StagedFiles.h"
#include "platform/windows/WideNames.h"

namespace varnow {
namespace {

HANDLE Handle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

Failed SetLength(HANDLE file, std::int64_t length) {
  LARGE_INTEGER at;
  at.QuadPart = length;
  if (!::SetFilePointerEx(file, at, nullptr, FILE_BEGIN) || !::SetEndOfFile(file)) {
    return windows::FailureOfCode(::GetLastError());
  }
  return std::nullopt;
}

// Bytes of the body copied to a new file in pieces of this size.
constexpr std::size_t kCopyPiece = 1024 * 1024;

}  // namespace

Failed LogBody::Open(const std::filesystem::path& folder) {
  Close();
  SystemFailure why;
  const HANDLE file = windows::CreateTemporaryFile(folder, named_, why);
  if (file == INVALID_HANDLE_VALUE) {
    return why;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return std::nullopt;
}

Failed LogBody::TakeRoom(std::int64_t /*from*/, std::int64_t end, std::int64_t& length) {
  if (Failed failed = SetLength(Handle(handle_), end)) {
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(Handle(handle_), &size)) {
      length = size.QuadPart;
    }
    return failed;
  }
  length = end;
  return std::nullopt;
}

Failed LogBody::WriteAt(std::int64_t at, std::string_view bytes) {
  return windows::WriteAllAt(Handle(handle_), bytes, at);
}

Failed LogBody::Truncate(std::int64_t length) {
  return SetLength(Handle(handle_), length);
}

void LogBody::CopyTo(NewFile& file, std::int64_t from, std::int64_t end,
                     const std::function<void()>& pump) {
  std::string piece(kCopyPiece, '\0');
  while (from < end) {
    const std::size_t ask =
        static_cast<std::size_t>(std::min<std::int64_t>(end - from, kCopyPiece));
    std::size_t n = 0;
    if (Failed failed = windows::ReadAt(Handle(handle_), from, piece.data(), ask, n)) {
      throw FileWriteError(FileWriteError::Stage::kWrite, std::move(*failed));
    }
    if (n == 0) {
      throw FileWriteError(FileWriteError::Stage::kWrite,
                           windows::FailureOfCode(ERROR_HANDLE_EOF));  // the body lost bytes
    }
    file.Write(std::string_view(piece.data(), n));
    from += static_cast<std::int64_t>(n);
    if (pump) {
      pump();
    }
  }
}

bool LogBody::GiveName(const std::filesystem::path& target) {
  const HANDLE file = Handle(handle_);
  if (windows::RenameOver(file, target)) {
    // Another volume (the temporary folder), or a place that refuses the name: the body is
    // copied instead, and the copy's commit says what the place refuses.
    return false;
  }
  handle_ = kNoHandle;
  named_.clear();
  if (!::CloseHandle(file)) {
    throw FileWriteError(FileWriteError::Stage::kWrite, windows::FailureOfCode(::GetLastError()));
  }
  return true;
}

void LogBody::Close() {
  if (IsOpen()) {
    ::CloseHandle(Handle(handle_));
    handle_ = kNoHandle;
  }
  if (!named_.empty()) {
    ::DeleteFileW(windows::WidePath(named_).c_str());
    named_.clear();
  }
}

}  // namespace varnow
