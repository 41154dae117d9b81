#include "document/PatternMatcher.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnow {

PatternMatcher::PatternMatcher(std::string_view pattern)
    : folded_(pattern), masks_(pattern.size(), '\0'), canMatch_(!pattern.empty()) {
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c >= 'a' && c <= 'z') {
      canMatch_ = false;
    } else if (c >= 'A' && c <= 'Z') {
      masks_[i] = 0x20;
      folded_[i] = static_cast<char>(c | 0x20);
    }
  }
  // The last byte is as good an anchor as any for these patterns, and it spreads the two
  // checks as far apart as possible.
  anchor_ = pattern.empty() ? 0 : pattern.size() - 1;
}

bool PatternMatcher::MatchesAt(const char* bytes) const {
  for (std::size_t i = 0; i < folded_.size(); ++i) {
    if (!ByteMatches(i, bytes[i])) {
      return false;
    }
  }
  return true;
}

std::size_t PatternMatcher::FindIn(const char* bytes, std::size_t count) const {
  const std::size_t size = folded_.size();
  if (!canMatch_ || count < size) {
    return npos;
  }
  const std::size_t lastStart = count - size;
  std::size_t at = 0;
#if defined(__SSE2__)
  // Sixteen starts at a time: only starts whose first and anchor bytes both match are checked
  // in full. Every load stays inside bytes[0, count).
  const __m128i firstMask = _mm_set1_epi8(static_cast<char>(Mask(0)));
  const __m128i firstWant = _mm_set1_epi8(folded_[0]);
  const __m128i anchorMask = _mm_set1_epi8(static_cast<char>(Mask(anchor_)));
  const __m128i anchorWant = _mm_set1_epi8(folded_[anchor_]);
  const char* anchored = bytes + anchor_;
  for (; at + 16 <= lastStart + 1; at += 16) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(anchored + at));
    const __m128i hits =
        _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(first, firstMask), firstWant),
                      _mm_cmpeq_epi8(_mm_or_si128(second, anchorMask), anchorWant));
    auto bits = static_cast<unsigned>(_mm_movemask_epi8(hits));
    while (bits != 0) {
      const std::size_t start = at + static_cast<std::size_t>(std::countr_zero(bits));
      if (MatchesAt(bytes + start)) {
        return start;
      }
      bits &= bits - 1;
    }
  }
#endif
  for (; at <= lastStart; ++at) {
    if (ByteMatches(0, bytes[at]) && MatchesAt(bytes + at)) {
      return at;
    }
  }
  return npos;
}

}  // namespace varnow
