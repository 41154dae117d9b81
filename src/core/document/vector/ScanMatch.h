// SPDX-License-Identifier: MIT
// The full comparison at a candidate start, for the scans and PatternMatcher. Its functions
// are static: each file has its own copy, compiled for its own processor level, so that code
// built for AVX2 can never stand in for a copy that other callers run on processors without it.
#pragma once

#include <cstddef>

#include "document/vector/PatternScan.h"

namespace varnow::scan_detail {

static inline bool MatchesAt(const ScanPattern& pattern, const char* bytes) {
  for (std::size_t i = 0; i < pattern.size; ++i) {
    if ((static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(pattern.masks[i])) !=
        static_cast<unsigned char>(pattern.folded[i])) {
      return false;
    }
  }
  return true;
}

// The first of the starts at + (each set bit of `bits`) where the whole pattern matches.
static inline std::size_t CheckStarts(const ScanPattern& pattern, const char* bytes, std::size_t at,
                                      unsigned bits) {
  while (bits != 0) {
    const std::size_t start = at + static_cast<std::size_t>(__builtin_ctz(bits));
    if (MatchesAt(pattern, bytes + start)) {
      return start;
    }
    bits &= bits - 1;
  }
  return static_cast<std::size_t>(-1);
}

}  // namespace varnow::scan_detail
