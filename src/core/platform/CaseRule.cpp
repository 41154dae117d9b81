// SPDX-License-Identifier: MIT
#include "platform/CaseRule.h"

// The folding itself; the probe and the tables of one code point are each system's own.
#include "text/Cp1251.h"

namespace varnow {

std::string CaseFolding::Fold(std::string_view name) const {
  std::string folded;
  folded.reserve(name.size());
  for (std::size_t i = 0; i < name.size();) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 0x80) {
      folded += static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
      ++i;
      continue;
    }
    const std::size_t start = i;
    const std::optional<char32_t> cp = NextCodePoint(name, i);
    if (!cp) {
      folded += name[start];  // not UTF-8: the byte itself
      i = start + 1;
      continue;
    }
    AppendUtf8(folded, LowerOf(*cp));
  }
  return folded;
}

}  // namespace varnow
