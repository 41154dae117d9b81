// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace varnow {

// Case-insensitive matching upper-cases ASCII letters only: a..z become A..Z and every other
// byte, cp1251 letters above 127 included, stays as it is.
constexpr char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

std::string AsciiUpper(std::string_view text);
// A..Z become a..z, every other byte stays.
std::string AsciiLower(std::string_view text);

}  // namespace varnow
