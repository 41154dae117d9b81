// SPDX-License-Identifier: MIT
#include "platform/FileFacts.h"

#include <windows.h>

#include <algorithm>

#include "platform/windows/WideNames.h"

namespace varnow {
namespace {

// FILETIME counts 100-nanosecond steps from 1601.
constexpr std::int64_t kFrom1601To1970 = 116444736000000000;

std::int64_t Nanoseconds(LARGE_INTEGER t) {
  return (t.QuadPart - kFrom1601To1970) * 100;
}

std::int64_t Nanoseconds(FILETIME t) {
  LARGE_INTEGER n;
  n.LowPart = t.dwLowDateTime;
  n.HighPart = static_cast<LONG>(t.dwHighDateTime);
  return Nanoseconds(n);
}

// The facts of an open handle; `followed` says whether a link was followed to it.
bool FactsOfHandle(HANDLE handle, bool followed, FileFacts& facts) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(handle, &info)) {
    return false;
  }
  facts.identity = {info.dwVolumeSerialNumber,
                    (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  const DWORD a = info.dwFileAttributes;
  facts.kind = !followed && (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? FileKind::kLink
               : (a & FILE_ATTRIBUTE_DIRECTORY) != 0                ? FileKind::kFolder
               : (a & FILE_ATTRIBUTE_DEVICE) != 0                   ? FileKind::kOther
                                                                    : FileKind::kRegular;
  facts.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  facts.modified = Nanoseconds(info.ftLastWriteTime);
  // The change time of the entry, not the creation time: what POSIX's ctime is.
  FILE_BASIC_INFO basic{};
  facts.changed = ::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic)
                      ? Nanoseconds(basic.ChangeTime)
                      : facts.modified;
  return true;
}

}  // namespace

std::optional<FileFacts> FactsOf(const std::string& path, Links links, Failed* why) {
  const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS |
                      (links == Links::kNotFollowed ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  const HANDLE handle = ::CreateFileW(windows::WidePath(path).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, flags, nullptr);
  FileFacts facts;
  const bool known =
      handle != INVALID_HANDLE_VALUE && FactsOfHandle(handle, links == Links::kFollow, facts);
  const DWORD error = known ? 0 : ::GetLastError();
  if (handle != INVALID_HANDLE_VALUE) {
    ::CloseHandle(handle);
  }
  if (!known) {
    if (why != nullptr) {
      *why = windows::FailureOfCode(error);
    }
    return std::nullopt;
  }
  return facts;
}

struct ReadOnlyFile::State {
  HANDLE handle = INVALID_HANDLE_VALUE;
  FileFacts facts;
};

ReadOnlyFile::ReadOnlyFile() : state_(std::make_unique<State>()) {}

ReadOnlyFile::~ReadOnlyFile() {
  Close();
}

Failed ReadOnlyFile::Open(const std::string& path, bool* notRegular) {
  Close();
  const std::wstring wide = windows::WidePath(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    if (notRegular != nullptr) {
      *notRegular = true;
    }
    return SystemFailure{FailureCause::kIsAFolder, "Is a directory", SystemError::kOther};
  }
  // Others may read, write and rename the file meanwhile, as on POSIX.
  const HANDLE handle = ::CreateFileW(wide.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return windows::FailureOfCode(::GetLastError());
  }
  FileFacts facts;
  if (::GetFileType(handle) != FILE_TYPE_DISK || !FactsOfHandle(handle, true, facts) ||
      facts.kind != FileKind::kRegular) {
    ::CloseHandle(handle);
    if (notRegular != nullptr) {
      *notRegular = true;
    }
    return SystemFailure{FailureCause::kOther, "Not a regular file", SystemError::kOther};
  }
  state_->handle = handle;
  state_->facts = facts;
  return std::nullopt;
}

void ReadOnlyFile::Close() {
  if (state_->handle != INVALID_HANDLE_VALUE) {
    ::CloseHandle(state_->handle);
    state_->handle = INVALID_HANDLE_VALUE;
  }
}

bool ReadOnlyFile::IsOpen() const {
  return state_->handle != INVALID_HANDLE_VALUE;
}

const FileFacts& ReadOnlyFile::Facts() const {
  return state_->facts;
}

Failed ReadOnlyFile::Read(char* into, std::size_t size, std::size_t& got) {
  // One ReadFile reads at most 4 GB less one byte.
  const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(size, 0x7FFFFFFF));
  DWORD n = 0;
  if (!::ReadFile(state_->handle, into, ask, &n, nullptr)) {
    got = 0;
    return windows::FailureOfCode(::GetLastError());
  }
  got = n;
  return std::nullopt;
}

}  // namespace varnow
