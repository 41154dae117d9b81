// SPDX-License-Identifier: MIT
#include "text/AsciiCase.h"

namespace varnow {

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    c = AsciiUpper(c);
  }
  return out;
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  return out;
}

}  // namespace varnow
