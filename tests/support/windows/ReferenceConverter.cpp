// SPDX-License-Identifier: MIT
// Through UTF-16: MultiByteToWideChar from the source's code page, WideCharToMultiByte to the
// target's, both refusing what the code page has no character for.
#include "support/ReferenceConverter.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

namespace varnow::test {
namespace {

constexpr unsigned kUtf16 = 1200;  // not a code page of the functions: copied as it is

unsigned CodePageOf(std::string_view name) {
  if (name == "UTF-8") {
    return CP_UTF8;
  }
  if (name == "UTF-16LE") {
    return kUtf16;
  }
  if (name.starts_with("CP")) {
    return static_cast<unsigned>(std::atoi(std::string(name.substr(2)).c_str()));
  }
  ADD_FAILURE() << "no code page for " << name;
  return 0;
}

}  // namespace

std::optional<std::string> ConvertBySystem(const char* to, const char* from, std::string_view in) {
  const unsigned fromPage = CodePageOf(from);
  const unsigned toPage = CodePageOf(to);
  if (fromPage == 0 || toPage == 0) {
    return std::nullopt;
  }
  if (in.empty()) {
    return std::string();
  }
  std::wstring wide;
  if (fromPage == kUtf16) {
    if (in.size() % 2 != 0) {
      return std::nullopt;
    }
    wide.resize(in.size() / 2);
    for (std::size_t i = 0; i < wide.size(); ++i) {
      wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(in[2 * i]) |
                                     (static_cast<unsigned char>(in[2 * i + 1]) << 8));
    }
  } else {
    wide.resize(in.size() * 2);
    const int n =
        MultiByteToWideChar(fromPage, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()),
                            wide.data(), static_cast<int>(wide.size()));
    if (n <= 0) {
      return std::nullopt;
    }
    wide.resize(static_cast<std::size_t>(n));
  }
  if (toPage == kUtf16) {
    std::string out;
    for (const wchar_t unit : wide) {
      out += static_cast<char>(unit & 0xFF);
      out += static_cast<char>((unit >> 8) & 0xFF);
    }
    return out;
  }
  std::string out(wide.size() * 4, '\0');
  BOOL lost = FALSE;
  // UTF-8 takes neither a default character nor the question whether one was used.
  const bool utf8 = toPage == CP_UTF8;
  const int n = WideCharToMultiByte(toPage, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS,
                                    wide.data(), static_cast<int>(wide.size()), out.data(),
                                    static_cast<int>(out.size()), nullptr, utf8 ? nullptr : &lost);
  if (n <= 0 || lost) {
    return std::nullopt;
  }
  out.resize(static_cast<std::size_t>(n));
  return out;
}

}  // namespace varnow::test
