// SPDX-License-Identifier: MIT
// FindFirstFileExW lists a folder with each entry's attributes; only an entry that is a
// reparse point (a symbolic link, a junction) is opened to learn what it leads to, and a
// folder to learn its identity (volume serial number and file index).
#include "platform/FolderListing.h"

#include <windows.h>

#include "platform/windows/WideNames.h"

namespace varnow {
namespace {

// The identity and attributes of what `path` leads to, links followed; false with the
// system's error code when it cannot be opened.
bool Inspect(const std::wstring& path, FileIdentity& identity, DWORD& attributes, DWORD& error) {
  const HANDLE handle = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = ::GetLastError();
    return false;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
  error = known ? 0 : ::GetLastError();
  ::CloseHandle(handle);
  if (!known) {
    return false;
  }
  identity = {info.dwVolumeSerialNumber,
              (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  attributes = info.dwFileAttributes;
  return true;
}

bool IsGone(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

struct FolderListing::State {
  std::wstring folder;  // as the wide functions take it, ending with "\"
  HANDLE find = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW entry{};
  bool pending = false;  // FindFirstFileExW's entry, not yet given by Next
  Failed error;
};

FolderListing::FolderListing(const std::string& folder) : state_(std::make_unique<State>()) {
  state_->folder = windows::WidePath(folder);
  if (!state_->folder.empty() && state_->folder.back() != L'\\') {
    state_->folder += L'\\';
  }
  const std::wstring pattern = state_->folder + L"*";
  state_->find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &state_->entry,
                                    FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (state_->find == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    // A path that names a file, or a file on the way, is no folder to list.
    state_->error = windows::FailureOfCode(code == ERROR_INVALID_NAME ? ERROR_DIRECTORY : code);
    return;
  }
  state_->pending = true;
}

FolderListing::~FolderListing() {
  if (state_->find != INVALID_HANDLE_VALUE) {
    ::FindClose(state_->find);
  }
}

bool FolderListing::Open() const {
  return state_->find != INVALID_HANDLE_VALUE;
}

std::optional<FileIdentity> FolderListing::Identity() const {
  FileIdentity identity;
  DWORD attributes = 0;
  DWORD error = 0;
  if (!Inspect(state_->folder, identity, attributes, error)) {
    return std::nullopt;
  }
  return identity;
}

bool FolderListing::Next(std::string& name) {
  if (state_->pending) {
    state_->pending = false;
  } else if (!::FindNextFileW(state_->find, &state_->entry)) {
    const DWORD code = ::GetLastError();
    if (code != ERROR_NO_MORE_FILES) {
      state_->error = windows::FailureOfCode(code);
    }
    return false;
  }
  name = windows::Utf8(state_->entry.cFileName);
  return true;
}

EntryKind FolderListing::KindOfLast(FileIdentity& folder, Failed& why) const {
  DWORD attributes = state_->entry.dwFileAttributes;
  const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (!link && !isFolder) {
    return (attributes & FILE_ATTRIBUTE_DEVICE) != 0 ? EntryKind::kOther : EntryKind::kFile;
  }
  DWORD error = 0;
  // The folder's path may be short enough without the prefix, and the entry's not.
  const std::wstring path =
      windows::WidePath(windows::Utf8(state_->folder + state_->entry.cFileName));
  if (!Inspect(path, folder, attributes, error)) {
    if (!IsGone(error)) {
      why = windows::FailureOfCode(error);
    }
    return EntryKind::kNothing;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return EntryKind::kFolder;
  }
  return (attributes & FILE_ATTRIBUTE_DEVICE) != 0 ? EntryKind::kOther : EntryKind::kFile;
}

const Failed& FolderListing::Error() const {
  return state_->error;
}

}  // namespace varnow
