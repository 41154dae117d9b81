// SPDX-License-Identifier: MIT
// The plain and the 16-byte forms of the pattern scan. The 16-byte form is written in simde's
// SSE2 operations: the processor's own on x86-64, where SSE2 is the baseline, and translated to
// the processor's own vectors elsewhere.
#include <simde/x86/sse2.h>

#include "document/vector/PatternScan.h"
#include "document/vector/ScanMatch.h"

namespace varnow {

using scan_detail::CheckStarts;
using scan_detail::MatchesAt;

std::size_t FindPatternScalar(const ScanPattern& pattern, const char* bytes,
                              std::size_t lastStart) {
  const auto rarerMask = static_cast<unsigned char>(pattern.masks[pattern.rarer]);
  const auto rarerWant = static_cast<unsigned char>(pattern.folded[pattern.rarer]);
  for (std::size_t at = 0; at <= lastStart; ++at) {
    if ((static_cast<unsigned char>(bytes[at + pattern.rarer]) | rarerMask) == rarerWant &&
        MatchesAt(pattern, bytes + at)) {
      return at;
    }
  }
  return static_cast<std::size_t>(-1);
}

std::size_t FindPatternSse2(const ScanPattern& pattern, const char* bytes, std::size_t lastStart) {
  if (lastStart < 15) {
    return FindPatternScalar(pattern, bytes, lastStart);
  }
  const simde__m128i rareMask = simde_mm_set1_epi8(pattern.masks[pattern.rare]);
  const simde__m128i rareWant = simde_mm_set1_epi8(pattern.folded[pattern.rare]);
  const simde__m128i rarerMask = simde_mm_set1_epi8(pattern.masks[pattern.rarer]);
  const simde__m128i rarerWant = simde_mm_set1_epi8(pattern.folded[pattern.rarer]);
  const char* rare = bytes + pattern.rare;
  const char* rarer = bytes + pattern.rarer;
  // Which of the sixteen starts at `at` have both filter bytes right.
  const auto row = [&](std::size_t at) {
    const simde__m128i a = simde_mm_loadu_si128(rare + at);
    const simde__m128i b = simde_mm_loadu_si128(rarer + at);
    const simde__m128i hits =
        simde_mm_and_si128(simde_mm_cmpeq_epi8(simde_mm_or_si128(a, rareMask), rareWant),
                           simde_mm_cmpeq_epi8(simde_mm_or_si128(b, rarerMask), rarerWant));
    return static_cast<unsigned>(simde_mm_movemask_epi8(hits));
  };
  std::size_t at = 0;
  for (; at + 16 <= lastStart + 1; at += 16) {
    if (const std::size_t found = CheckStarts(pattern, bytes, at, row(at));
        found != static_cast<std::size_t>(-1)) {
      return found;
    }
  }
  if (at > lastStart) {
    return static_cast<std::size_t>(-1);
  }
  // The last starts: one more row ending at the last start, without those already checked.
  const std::size_t tail = lastStart - 15;
  return CheckStarts(pattern, bytes, tail, row(tail) & (~0u << (at - tail)));
}

}  // namespace varnow
