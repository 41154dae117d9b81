// SPDX-License-Identifier: MIT
// The probe through the wide file functions; one code point's lower case by LCMapStringEx
// with the invariant locale, the simple mapping NTFS's own table follows.
#include <windows.h>

#include <random>

#include "platform/CaseRule.h"
#include "platform/TemporaryNames.h"
#include "platform/windows/WideNames.h"
#include "text/AsciiCase.h"

namespace varnow {

std::optional<bool> FolderIgnoresCase(const std::string& folder) {
  std::random_device random;
  for (int attempt = 0; attempt < 8; ++attempt) {
    const std::string name = "\\" + TemporaryFileName(static_cast<std::uint32_t>(random()));
    const std::wstring lower = windows::WidePath(folder + name);
    const HANDLE file = ::CreateFileW(lower.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      if (::GetLastError() == ERROR_FILE_EXISTS) {
        continue;
      }
      return std::nullopt;
    }
    ::CloseHandle(file);
    std::string upper = folder;
    for (const char c : name) {
      upper += AsciiUpper(c);
    }
    const bool ignores =
        ::GetFileAttributesW(windows::WidePath(upper).c_str()) != INVALID_FILE_ATTRIBUTES;
    ::DeleteFileW(lower.c_str());
    return ignores;
  }
  return std::nullopt;
}

struct CaseFolding::State {};

CaseFolding::CaseFolding() : state_(std::make_unique<State>()) {}

CaseFolding::~CaseFolding() = default;

char32_t CaseFolding::LowerOf(char32_t c) const {
  wchar_t in[2];
  int length = 1;
  if (c >= 0x10000) {
    in[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
    in[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    length = 2;
  } else {
    in[0] = static_cast<wchar_t>(c);
  }
  wchar_t out[4];
  const int n = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, in, length, out, 4, nullptr,
                                nullptr, 0);
  if (n == 1 && (out[0] < 0xD800 || out[0] > 0xDFFF)) {
    return out[0];
  }
  if (n == 2 && out[0] >= 0xD800 && out[0] < 0xDC00) {
    return 0x10000 + ((static_cast<char32_t>(out[0]) - 0xD800) << 10) +
           (static_cast<char32_t>(out[1]) - 0xDC00);
  }
  return c;  // no mapping of one code point to one
}

}  // namespace varnow
