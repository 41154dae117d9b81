// SPDX-License-Identifier: MIT
#include "platform/PathSyntax.h"

#include <windows.h>

#include "platform/windows/WideNames.h"

namespace varnow {
namespace {

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The length of "\\server\share" at the start of `path`, or 0.
std::size_t ShareLength(std::string_view path) {
  if (path.size() < 2 || !IsPathSeparator(path[0]) || !IsPathSeparator(path[1])) {
    return 0;
  }
  std::size_t at = 2;
  for (int part = 0; part < 2; ++part) {
    const std::size_t start = at;
    while (at < path.size() && !IsPathSeparator(path[at])) {
      ++at;
    }
    if (at == start) {
      return 0;  // "\\" alone, or "\\server\" without its share
    }
    if (part == 0) {
      if (at == path.size()) {
        return 0;
      }
      ++at;
    }
  }
  return at;
}

}  // namespace

char PathSeparator() {
  return '\\';
}

bool IsPathSeparator(char c) {
  return c == '\\' || c == '/';
}

std::size_t RootLength(std::string_view path) {
  if (path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && IsPathSeparator(path[2])) {
    return 3;
  }
  if (const std::size_t share = ShareLength(path)) {
    return share;
  }
  return path.starts_with('\\') || path.starts_with('/') ? 1 : 0;
}

std::string_view BelowTheDrive(std::string_view folder) {
  if (folder.size() >= 2 && IsLetter(folder[0]) && folder[1] == ':') {
    folder.remove_prefix(2);  // "C:\site" is "\site" below its drive, "C:\" is ""
    return folder.size() == 1 ? std::string_view() : folder;
  }
  if (ShareLength(folder) != 0) {
    folder.remove_prefix(1);  // "\\server\share\dir" as "\server\share\dir": one separator
  }
  return folder;
}

std::filesystem::path PathOf(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::filesystem::path SystemPath(const std::filesystem::path& path) {
  return std::filesystem::path(windows::WidePath(PathText(path)));
}

PathKind KindOfPath(const std::string& path, Failed& why) {
  const DWORD attributes = ::GetFileAttributesW(windows::WidePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    why = windows::FailureOfCode(::GetLastError());
    return PathKind::kNothing;
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::kFolder : PathKind::kOther;
}

Failed CheckEnterable(const std::string& folder) {
  std::wstring pattern = windows::WidePath(folder);
  if (!pattern.empty() && pattern.back() != L'\\') {
    pattern += L'\\';
  }
  pattern += L'*';
  WIN32_FIND_DATAW entry{};
  const HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                         FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) {
    return windows::FailureOfCode(::GetLastError());
  }
  ::FindClose(find);
  return std::nullopt;
}

}  // namespace varnow
