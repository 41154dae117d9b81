// SPDX-License-Identifier: MIT
#include "document/PatternMatcher.h"

#include <array>
#include <bit>

#if defined(__GNUC__) && defined(__x86_64__)
#define VARNOW_X86_VECTORS 1
#include <immintrin.h>
#endif

namespace varnow {
namespace {

// How often a byte turns up in ordinary pages, roughly per thousand bytes, letters counted in
// both cases. Only the order matters: the filter checks the rarest bytes of a pattern first.
constexpr std::array<unsigned char, 256> ByteCommonness() {
  std::array<unsigned char, 256> table{};
  for (auto& c : table) {
    c = 4;  // punctuation and control bytes
  }
  for (int b = 0x80; b < 0x100; ++b) {
    table[static_cast<std::size_t>(b)] = 25;  // cp1251 text
  }
  for (char d = '0'; d <= '9'; ++d) {
    table[static_cast<std::size_t>(d)] = 8;
  }
  constexpr std::string_view kLetters = "ETAOINSRHLDCUMFPGWYBVKXJQZ";
  constexpr std::array<unsigned char, 26> kLetterCommonness = {60, 50, 45, 45, 42, 40, 38, 36, 30,
                                                               25, 22, 22, 15, 15, 13, 12, 11, 10,
                                                               9,  9,  6,  4,  3,  2,  1,  1};
  for (std::size_t i = 0; i < kLetters.size(); ++i) {
    table[static_cast<unsigned char>(kLetters[i])] = kLetterCommonness[i];
    table[static_cast<unsigned char>(kLetters[i] | 0x20)] = kLetterCommonness[i];
  }
  table[' '] = 120;
  table['<'] = 30;
  table['>'] = 30;
  table['='] = 15;
  table['"'] = 12;
  table['\''] = 8;
  table['/'] = 12;
  table['\n'] = 15;
  table['\r'] = 12;
  table[0] = 0;
  return table;
}

constexpr std::array<unsigned char, 256> kCommonness = ByteCommonness();

bool HasWideVectors() {
#if defined(VARNOW_X86_VECTORS)
  return __builtin_cpu_supports("avx2") != 0;
#else
  return false;
#endif
}

}  // namespace

PatternMatcher::PatternMatcher(std::string_view pattern)
    : folded_(pattern),
      masks_(pattern.size(), '\0'),
      canMatch_(!pattern.empty()),
      wide_(HasWideVectors()) {
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c >= 'a' && c <= 'z') {
      canMatch_ = false;
    } else if (c >= 'A' && c <= 'Z') {
      masks_[i] = 0x20;
      folded_[i] = static_cast<char>(c | 0x20);
    }
  }
  auto commonness = [&](std::size_t i) {
    return kCommonness[static_cast<unsigned char>(pattern[i])];
  };
  for (std::size_t i = 1; i < pattern.size(); ++i) {
    if (commonness(i) < commonness(rarer_)) {
      rare_ = rarer_;
      rarer_ = i;
    } else if (rare_ == rarer_ || commonness(i) < commonness(rare_)) {
      rare_ = i;
    }
  }
}

#if defined(VARNOW_X86_VECTORS)
namespace {

// Which of the 32 bytes at `p`, OR-ed with `mask` if they fold, equal `want`.
template <bool kFold>
__attribute__((target("avx2"))) inline __m256i Equal32(const char* p, __m256i mask, __m256i want) {
  __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  if constexpr (kFold) {
    bytes = _mm256_or_si256(bytes, mask);
  }
  return _mm256_cmpeq_epi8(bytes, want);
}

__attribute__((target("avx2"))) inline unsigned Bits32(__m256i hits) {
  return static_cast<unsigned>(_mm256_movemask_epi8(hits));
}

}  // namespace

std::size_t PatternMatcher::CheckStarts(const char* bytes, std::size_t at, unsigned bits) const {
  while (bits != 0) {
    const std::size_t start = at + static_cast<std::size_t>(std::countr_zero(bits));
    if (MatchesAt(bytes + start)) {
      return start;
    }
    bits &= bits - 1;
  }
  return npos;
}

// Thirty-two starts at a time: only starts whose two rarest bytes both match are compared in
// full, and four such rows are tested at once, since most stretches of a page hold no
// candidate at all. Every load stays inside the bytes a match may use.
template <bool kFoldRare, bool kFoldRarer>
__attribute__((target("avx2"))) std::size_t PatternMatcher::FindWide(const char* bytes,
                                                                     std::size_t lastStart) const {
  const __m256i rareMask = _mm256_set1_epi8(static_cast<char>(Mask(rare_)));
  const __m256i rareWant = _mm256_set1_epi8(folded_[rare_]);
  const __m256i rarerMask = _mm256_set1_epi8(static_cast<char>(Mask(rarer_)));
  const __m256i rarerWant = _mm256_set1_epi8(folded_[rarer_]);
  const char* rare = bytes + rare_;
  const char* rarer = bytes + rarer_;
  std::size_t at = 0;
  for (; at + 128 <= lastStart + 1; at += 128) {
    const __m256i h0 = _mm256_and_si256(Equal32<kFoldRarer>(rarer + at, rarerMask, rarerWant),
                                        Equal32<kFoldRare>(rare + at, rareMask, rareWant));
    const __m256i h1 = _mm256_and_si256(Equal32<kFoldRarer>(rarer + at + 32, rarerMask, rarerWant),
                                        Equal32<kFoldRare>(rare + at + 32, rareMask, rareWant));
    const __m256i h2 = _mm256_and_si256(Equal32<kFoldRarer>(rarer + at + 64, rarerMask, rarerWant),
                                        Equal32<kFoldRare>(rare + at + 64, rareMask, rareWant));
    const __m256i h3 = _mm256_and_si256(Equal32<kFoldRarer>(rarer + at + 96, rarerMask, rarerWant),
                                        Equal32<kFoldRare>(rare + at + 96, rareMask, rareWant));
    const __m256i any = _mm256_or_si256(_mm256_or_si256(h0, h1), _mm256_or_si256(h2, h3));
    if (_mm256_testz_si256(any, any)) {
      continue;
    }
    const unsigned rows[4] = {Bits32(h0), Bits32(h1), Bits32(h2), Bits32(h3)};
    for (std::size_t r = 0; r < 4; ++r) {
      if (const std::size_t found = CheckStarts(bytes, at + 32 * r, rows[r]); found != npos) {
        return found;
      }
    }
  }
  for (; at + 32 <= lastStart + 1; at += 32) {
    const unsigned bits = Bits32(Equal32<kFoldRarer>(rarer + at, rarerMask, rarerWant)) &
                          Bits32(Equal32<kFoldRare>(rare + at, rareMask, rareWant));
    if (const std::size_t found = CheckStarts(bytes, at, bits); found != npos) {
      return found;
    }
  }
  if (at > lastStart) {
    return npos;
  }
  // The last starts: one more row ending at the last start, without those already checked.
  const std::size_t tail = lastStart - 31;
  const unsigned bits = Bits32(Equal32<kFoldRarer>(rarer + tail, rarerMask, rarerWant)) &
                        Bits32(Equal32<kFoldRare>(rare + tail, rareMask, rareWant));
  return CheckStarts(bytes, tail, bits & (~0u << (at - tail)));
}
#endif

std::size_t PatternMatcher::FindIn(const char* bytes, std::size_t count) const {
  const std::size_t size = folded_.size();
  if (!canMatch_ || count < size) {
    return npos;
  }
  const std::size_t lastStart = count - size;
#if defined(VARNOW_X86_VECTORS)
  if (wide_ && lastStart >= 32) {
    // A byte that is no letter needs no folding: one operation less per row for it.
    const bool foldRare = Mask(rare_) != 0;
    const bool foldRarer = Mask(rarer_) != 0;
    if (foldRare) {
      return foldRarer ? FindWide<true, true>(bytes, lastStart)
                       : FindWide<true, false>(bytes, lastStart);
    }
    return foldRarer ? FindWide<false, true>(bytes, lastStart)
                     : FindWide<false, false>(bytes, lastStart);
  }
#endif
  return FindNarrow(bytes, lastStart);
}

std::size_t PatternMatcher::FindNarrow(const char* bytes, std::size_t lastStart) const {
  std::size_t at = 0;
#if defined(VARNOW_X86_VECTORS)
  const __m128i rareMask = _mm_set1_epi8(static_cast<char>(Mask(rare_)));
  const __m128i rareWant = _mm_set1_epi8(folded_[rare_]);
  const __m128i rarerMask = _mm_set1_epi8(static_cast<char>(Mask(rarer_)));
  const __m128i rarerWant = _mm_set1_epi8(folded_[rarer_]);
  const auto row = [&](std::size_t rowAt) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + rare_ + rowAt));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + rarer_ + rowAt));
    const __m128i hits = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, rareMask), rareWant),
                                       _mm_cmpeq_epi8(_mm_or_si128(b, rarerMask), rarerWant));
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
  };
  if (lastStart >= 15) {
    for (; at + 16 <= lastStart + 1; at += 16) {
      if (const std::size_t found = CheckStarts(bytes, at, row(at)); found != npos) {
        return found;
      }
    }
    if (at > lastStart) {
      return npos;
    }
    const std::size_t tail = lastStart - 15;
    return CheckStarts(bytes, tail, row(tail) & (~0u << (at - tail)));
  }
#endif
  for (; at <= lastStart; ++at) {
    if (ByteMatches(rarer_, bytes[at + rarer_]) && MatchesAt(bytes + at)) {
      return at;
    }
  }
  return npos;
}

}  // namespace varnow
