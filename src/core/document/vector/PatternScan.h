// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

namespace varnow {

// A search pattern as the scans read it (PatternMatcher prepares it): each byte OR-ed with its
// mask, the masks (0x20 for a letter, else 0), and the two bytes that the vector filter checks
// before a start is compared in full.
struct ScanPattern {
  const char* folded;
  const char* masks;
  std::size_t size;
  std::size_t rare;
  std::size_t rarer;
};

#if defined(VARNOW_HAVE_AVX2_SCANS)
// The first start in [0, lastStart] where the whole pattern matches bytes[start, start + size),
// or npos (-1), reading only bytes[0, lastStart + size): thirty-two starts at a time, for a
// lastStart of 31 or more, on processors with AVX2 (the caller checks both). It gives what
// PatternMatcher's plain and 16-byte forms give.
using WideScan = std::size_t (*)(const ScanPattern& pattern, const char* bytes,
                                 std::size_t lastStart);
// The form of it for the pattern's filter bytes (each folded or not), chosen once a pattern.
WideScan Avx2ScanFor(const ScanPattern& pattern);
#endif

}  // namespace varnow
