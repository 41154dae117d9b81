// SPDX-License-Identifier: MIT
#pragma once

#include <array>

namespace varnow {

// Each byte as matching sees it: ASCII letters folded to small letters, every other byte (the
// Cyrillic letters of cp1251 among them) as it is. The one table the engine's filters use.
inline constexpr std::array<unsigned char, 256> kAsciiFold = [] {
  std::array<unsigned char, 256> folded{};
  for (unsigned u = 0; u < 256; ++u) {
    folded[u] = static_cast<unsigned char>(u >= 'A' && u <= 'Z' ? u | 0x20 : u);
  }
  return folded;
}();

inline unsigned char FoldByte(char c) {
  return kAsciiFold[static_cast<unsigned char>(c)];
}

}  // namespace varnow
