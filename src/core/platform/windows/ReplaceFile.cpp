// SPDX-License-Identifier: MIT
// NewFile on Windows: written under a temporary name of the program's own beside the target,
// and renamed over it through its own handle, so the target is the old file or the new one,
// never a part.
#include <windows.h>

#include "files/ReplaceFile.h"
#include "platform/FileFacts.h"
#include "platform/PathSyntax.h"
#include "platform/TemporaryNames.h"
#include "platform/windows/StagedFiles.h"
#include "platform/windows/WideNames.h"

namespace varnow {
namespace {

HANDLE Handle(const NewFile& file) {
  return reinterpret_cast<HANDLE>(file.NativeHandle());
}

// A write's pieces are gathered up to this size before they go to the system.
constexpr std::size_t kGathered = 1024 * 1024;

}  // namespace

NewFile::NewFile(std::filesystem::path target) : target_(std::move(target)) {
  SystemFailure why;
  const HANDLE file = windows::CreateTemporaryFile(target_.parent_path(), named_, why);
  if (file == INVALID_HANDLE_VALUE) {
    throw FileWriteError(FileWriteError::Stage::kCreate, std::move(why));
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
}

NewFile::~NewFile() {
  if (handle_ != -1) {
    ::CloseHandle(Handle(*this));
  }
  if (!named_.empty()) {
    ::DeleteFileW(windows::WidePath(named_).c_str());
  }
}

std::optional<FileFacts> NewFile::Facts() const {
  return FactsOf(named_, Links::kNotFollowed);
}

void NewFile::Write(std::string_view bytes) {
  if (Failed failed = windows::WriteAllAt(Handle(*this), bytes, -1)) {
    throw FileWriteError(FileWriteError::Stage::kWrite, std::move(*failed));
  }
}

void NewFile::Write(const std::vector<std::string_view>& pieces) {
  std::string gathered;
  for (const std::string_view piece : pieces) {
    if (gathered.size() + piece.size() > kGathered) {
      Write(gathered);
      gathered.clear();
    }
    if (piece.size() >= kGathered) {
      Write(piece);
    } else {
      gathered += piece;
    }
  }
  Write(gathered);
}

void NewFile::Commit() {
  const HANDLE file = Handle(*this);
  if (Failed failed = windows::RenameOver(file, target_)) {
    ::CloseHandle(file);
    handle_ = -1;
    ::DeleteFileW(windows::WidePath(named_).c_str());
    named_.clear();
    throw FileWriteError(FileWriteError::Stage::kCommit, std::move(*failed));
  }
  handle_ = -1;
  named_.clear();  // it is the target now
  if (!::CloseHandle(file)) {
    throw FileWriteError(FileWriteError::Stage::kWrite, windows::FailureOfCode(::GetLastError()));
  }
}

std::vector<std::string> RemoveStrayTemporaryFiles(const std::filesystem::path& folder,
                                                   std::time_t olderThan) {
  std::vector<std::string> removed;
  std::string base = PathText(folder);
  if (!base.empty() && !IsPathSeparator(base.back())) {
    base += '\\';
  }
  WIN32_FIND_DATAW entry{};
  const HANDLE find = ::FindFirstFileExW(windows::WidePath(base + "*").c_str(), FindExInfoBasic,
                                         &entry, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) {
    return removed;
  }
  // FILETIME counts 100-nanosecond steps from 1601.
  const unsigned long long limit =
      (static_cast<unsigned long long>(olderThan) + 11644473600ULL) * 10000000ULL;
  do {
    const std::string name = windows::Utf8(entry.cFileName);
    if (!IsTemporaryName(name) || (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      continue;
    }
    const unsigned long long written =
        (static_cast<unsigned long long>(entry.ftLastWriteTime.dwHighDateTime) << 32) |
        entry.ftLastWriteTime.dwLowDateTime;
    // Newer than the run, it may be one a run going on writes; held open by a live run (which
    // shares no deletion), it cannot be deleted.
    if (written >= limit) {
      continue;
    }
    const std::string path = base + name;
    if (::DeleteFileW(windows::WidePath(path).c_str())) {
      removed.push_back(path);
    }
  } while (::FindNextFileW(find, &entry));
  ::FindClose(find);
  return removed;
}

}  // namespace varnow
