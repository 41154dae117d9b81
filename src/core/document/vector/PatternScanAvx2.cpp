// SPDX-License-Identifier: MIT
// The 32-byte form of the pattern scan, the only file built for AVX2: it is called only where
// the processor has it. It uses nothing from a header that another file could also compile
// (the comparison is its own static copy), so no function built for AVX2 is shared.
#include <simde/x86/avx2.h>

#include "document/vector/PatternScan.h"
#include "document/vector/ScanMatch.h"

namespace varnow {
namespace {

using scan_detail::CheckStarts;

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Which of the 32 bytes at `p`, OR-ed with `mask` if they fold, equal `want`.
template <bool kFold>
inline simde__m256i Equal32(const char* p, simde__m256i mask, simde__m256i want) {
  simde__m256i bytes = simde_mm256_loadu_si256(p);
  if constexpr (kFold) {
    bytes = simde_mm256_or_si256(bytes, mask);
  }
  return simde_mm256_cmpeq_epi8(bytes, want);
}

inline unsigned Bits32(simde__m256i hits) {
  return static_cast<unsigned>(simde_mm256_movemask_epi8(hits));
}

// Thirty-two starts at a time: only starts whose two rarest bytes both match are compared in
// full, and four such rows are tested at once, since most stretches of a page hold no
// candidate at all. A filter byte that is no letter needs no folding: one operation less per
// row for it. Every load stays inside the bytes a match may use.
template <bool kFoldRare, bool kFoldRarer>
std::size_t FindWide(const ScanPattern& pattern, const char* bytes, std::size_t lastStart) {
  const simde__m256i rareMask = simde_mm256_set1_epi8(pattern.masks[pattern.rare]);
  const simde__m256i rareWant = simde_mm256_set1_epi8(pattern.folded[pattern.rare]);
  const simde__m256i rarerMask = simde_mm256_set1_epi8(pattern.masks[pattern.rarer]);
  const simde__m256i rarerWant = simde_mm256_set1_epi8(pattern.folded[pattern.rarer]);
  const char* rare = bytes + pattern.rare;
  const char* rarer = bytes + pattern.rarer;
  const auto row = [&](std::size_t at) {
    return simde_mm256_and_si256(Equal32<kFoldRarer>(rarer + at, rarerMask, rarerWant),
                                 Equal32<kFoldRare>(rare + at, rareMask, rareWant));
  };
  std::size_t at = 0;
  for (; at + 128 <= lastStart + 1; at += 128) {
    const simde__m256i h0 = row(at);
    const simde__m256i h1 = row(at + 32);
    const simde__m256i h2 = row(at + 64);
    const simde__m256i h3 = row(at + 96);
    const simde__m256i any =
        simde_mm256_or_si256(simde_mm256_or_si256(h0, h1), simde_mm256_or_si256(h2, h3));
    if (simde_mm256_testz_si256(any, any) != 0) {
      continue;
    }
    const unsigned rows[4] = {Bits32(h0), Bits32(h1), Bits32(h2), Bits32(h3)};
    for (std::size_t r = 0; r < 4; ++r) {
      if (const std::size_t found = CheckStarts(pattern, bytes, at + 32 * r, rows[r]);
          found != kNone) {
        return found;
      }
    }
  }
  for (; at + 32 <= lastStart + 1; at += 32) {
    if (const std::size_t found = CheckStarts(pattern, bytes, at, Bits32(row(at)));
        found != kNone) {
      return found;
    }
  }
  if (at > lastStart) {
    return kNone;
  }
  // The last starts: one more row ending at the last start, without those already checked.
  const std::size_t tail = lastStart - 31;
  return CheckStarts(pattern, bytes, tail, Bits32(row(tail)) & (~0u << (at - tail)));
}

}  // namespace

WideScan Avx2ScanFor(const ScanPattern& pattern) {
  const bool foldRare = pattern.masks[pattern.rare] != 0;
  const bool foldRarer = pattern.masks[pattern.rarer] != 0;
  if (foldRare) {
    return foldRarer ? &FindWide<true, true> : &FindWide<true, false>;
  }
  return foldRarer ? &FindWide<false, true> : &FindWide<false, false>;
}

}  // namespace varnow
