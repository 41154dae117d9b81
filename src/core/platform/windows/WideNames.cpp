// SPDX-License-Identifier: MIT
#include "platform/windows/WideNames.h"

#include <windows.h>

#include <algorithm>

namespace varnow::windows {
namespace {

// ERROR_DISK_QUOTA_EXCEEDED, which mingw-w64's headers lack.
constexpr unsigned long kDiskQuotaExceeded = 1295;
// ERROR_CANT_RESOLVE_FILENAME: links that lead round in a circle.
constexpr unsigned long kCantResolveFilename = 1921;

}  // namespace

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) {
    return {};
  }
  const int n =
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) {
    return {};
  }
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                        nullptr, nullptr);
  return utf8;
}

std::wstring WidePath(std::string_view utf8) {
  std::wstring path = Wide(utf8);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  // MAX_PATH counts the terminating NUL; a folder's path also leaves room for "\*".
  constexpr std::size_t kRoom = MAX_PATH - 3;
  if (path.size() <= kRoom || path.starts_with(L"\\\\?\\")) {
    return path;
  }
  // The prefix turns off the system's reading of "." and ".." and of "/": the path is made
  // whole first.
  const bool share = path.starts_with(L"\\\\");
  const bool drive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
  if (!share && !drive) {
    return path;  // a relative path cannot take the prefix
  }
  const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed > 0) {
    std::wstring full(needed, L'\0');
    const DWORD n = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (n > 0 && n < needed) {
      full.resize(n);
      path = std::move(full);
    }
  }
  if (share) {
    return L"\\\\?\\UNC\\" + path.substr(2);
  }
  return L"\\\\?\\" + path;
}

SystemFailure FailureOfCode(unsigned long code) {
  SystemFailure failure;
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
      failure.cause = FailureCause::kNotFound;
      failure.error = SystemError::kNoEntry;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      failure.cause = FailureCause::kNoAccess;
      failure.error = SystemError::kNoAccess;
      break;
    case ERROR_WRITE_PROTECT:
      failure.cause = FailureCause::kNoAccess;
      failure.error = SystemError::kReadOnly;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      failure.cause = FailureCause::kNoRoom;
      failure.error = SystemError::kNoSpace;
      break;
    case kDiskQuotaExceeded:
      failure.cause = FailureCause::kNoRoom;
      failure.error = SystemError::kQuota;
      break;
    case ERROR_DIRECTORY:
      failure.cause = FailureCause::kNotAFolder;
      failure.error = SystemError::kNotDirectory;
      break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      failure.error = SystemError::kExists;
      break;
    case ERROR_FILENAME_EXCED_RANGE:
      failure.error = SystemError::kNameTooLong;
      break;
    case ERROR_TOO_MANY_OPEN_FILES:
      failure.error = SystemError::kTooManyFiles;
      break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      failure.cause = FailureCause::kNoMemory;
      break;
    case ERROR_FILE_TOO_LARGE:
      failure.cause = FailureCause::kTooLarge;
      break;
    case kCantResolveFilename:
      failure.error = SystemError::kLinkLoop;
      break;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_IO_DEVICE:
      failure.error = SystemError::kInputOutput;
      break;
    default:
      break;
  }
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  if (n > 0 && text != nullptr) {
    std::wstring_view words(text, n);
    while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' ||
                              words.back() == L'.' || words.back() == L' ')) {
      words.remove_suffix(1);
    }
    failure.reason = Utf8(words);
  } else {
    failure.reason = "Windows error " + std::to_string(code);
  }
  if (text != nullptr) {
    ::LocalFree(text);
  }
  return failure;
}

}  // namespace varnow::windows
