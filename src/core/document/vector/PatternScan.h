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

// The first start in [0, lastStart] where the whole pattern matches bytes[start, start + size),
// or npos (-1). Every form gives the same answer; each reads only bytes[0, lastStart + size).
// The plain loop, which the tests hold the others to:
std::size_t FindPatternScalar(const ScanPattern& pattern, const char* bytes, std::size_t lastStart);
// Sixteen starts at a time:
std::size_t FindPatternSse2(const ScanPattern& pattern, const char* bytes, std::size_t lastStart);
#if defined(VARNOW_HAVE_AVX2_SCANS)
// Thirty-two at a time, for a lastStart of 31 or more, on processors with AVX2 (the caller
// checks both):
std::size_t FindPatternAvx2(const ScanPattern& pattern, const char* bytes, std::size_t lastStart);
#endif

}  // namespace varnow
