// SPDX-License-Identifier: MIT
#include "document/PatternMatcher.h"

#include <array>

#include <simde/x86/sse2.h>

#include "document/vector/ScanMatch.h"

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

}  // namespace

PatternMatcher::PatternMatcher(std::string_view pattern, VectorLevel vectors)
    : bytes_(std::make_unique<char[]>(2 * pattern.size() + 1)),
      canMatch_(!pattern.empty()),
      vectors_(vectors) {
  char* folded = bytes_.get();
  char* masks = folded + pattern.size();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    folded[i] = c;
    masks[i] = '\0';
    if (c >= 'a' && c <= 'z') {
      canMatch_ = false;
    } else if (c >= 'A' && c <= 'Z') {
      masks[i] = 0x20;
      folded[i] = static_cast<char>(c | 0x20);
    }
  }
  auto commonness = [&](std::size_t i) {
    return kCommonness[static_cast<unsigned char>(pattern[i])];
  };
  std::size_t rare = 0;
  std::size_t rarer = 0;
  for (std::size_t i = 1; i < pattern.size(); ++i) {
    if (commonness(i) < commonness(rarer)) {
      rare = rarer;
      rarer = i;
    } else if (rare == rarer || commonness(i) < commonness(rare)) {
      rare = i;
    }
  }
  scan_ = {folded, masks, pattern.size(), rare, rarer};
#if defined(VARNOW_HAVE_AVX2_SCANS)
  if (vectors == VectorLevel::kAvx2 && canMatch_) {
    wide_ = Avx2ScanFor(scan_);
  }
#endif
}

namespace {

// The plain and the 16-byte forms of the scan, here where FindIn can take them in: most
// searches are short, and a call to another file would cost them more than the scan. The
// 16-byte form is written in simde's SSE2 operations: the processor's own on x86-64, where SSE2
// is the baseline, and translated to the processor's own vectors elsewhere.
using scan_detail::CheckStarts;
using scan_detail::MatchesAt;

std::size_t FindScalar(const ScanPattern& pattern, const char* bytes, std::size_t lastStart) {
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

std::size_t FindSse2(const ScanPattern& pattern, const char* bytes, std::size_t lastStart) {
  if (lastStart < 15) {
    return FindScalar(pattern, bytes, lastStart);
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

}  // namespace

std::size_t PatternMatcher::FindIn(const char* bytes, std::size_t count) const {
  const std::size_t size = scan_.size;
  if (!canMatch_ || count < size) {
    return npos;
  }
  const std::size_t lastStart = count - size;
#if defined(VARNOW_HAVE_AVX2_SCANS)
  if (wide_ != nullptr && lastStart >= 31) {
    return wide_(scan_, bytes, lastStart);
  }
#endif
  return vectors_ == VectorLevel::kScalar ? FindScalar(scan_, bytes, lastStart)
                                          : FindSse2(scan_, bytes, lastStart);
}

}  // namespace varnow
