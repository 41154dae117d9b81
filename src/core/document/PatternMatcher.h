// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "document/vector/PatternScan.h"
#include "document/vector/ScanMatch.h"
#include "document/vector/VectorLevel.h"

namespace varnow {

// A search pattern prepared for matching raw document bytes as if they had been ASCII-upper-
// cased: a pattern letter A..Z matches itself and its small letter, a pattern byte a..z matches
// nothing (an upper-cased text holds none), and every other byte, NUL and bytes above 127
// included, matches only itself. So no upper-cased copy of the text is ever needed.
class PatternMatcher {
 public:
  static constexpr std::size_t npos = std::string_view::npos;

  // `vectors`: how wide the scans' vectors are (kScalar: the plain loop alone).
  PatternMatcher(std::string_view pattern, VectorLevel vectors);

  std::size_t Size() const { return scan_.size; }
  // False for an empty pattern and for one that holds a small letter.
  bool CanMatch() const { return canMatch_; }

  // Byte i of the pattern, a letter as its small letter.
  char Folded(std::size_t i) const { return scan_.folded[i]; }
  bool ByteMatches(std::size_t i, char c) const {
    return (static_cast<unsigned char>(c) | Mask(i)) == static_cast<unsigned char>(Folded(i));
  }
  // Whether the Size() bytes at `bytes` match.
  bool MatchesAt(const char* bytes) const { return scan_detail::MatchesAt(scan_, bytes); }
  // Offset of the first match lying wholly inside bytes[0, count), or npos.
  std::size_t FindIn(const char* bytes, std::size_t count) const;

 private:
  unsigned char Mask(std::size_t i) const { return static_cast<unsigned char>(scan_.masks[i]); }

  // Each pattern byte OR-ed with its mask, then the masks (0x20 where the pattern holds a
  // letter A..Z, else 0): on the heap, so that scan_ still points at them after a move.
  std::unique_ptr<char[]> bytes_;
  // The pattern as the scans read it, with the two bytes the vector filter checks before a
  // start is compared in full: the pattern's rarest ones in ordinary pages.
  ScanPattern scan_{};
  bool canMatch_ = true;
  VectorLevel vectors_;
#if defined(VARNOW_HAVE_AVX2_SCANS)
  // The 32-byte scan for this pattern's filter bytes, chosen once; null without AVX2.
  WideScan wide_ = nullptr;
#endif
};

}  // namespace varnow
