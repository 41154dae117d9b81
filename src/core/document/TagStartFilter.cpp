// SPDX-License-Identifier: MIT
#include "document/TagStartFilter.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnow {

void TagStartFilter::AddAll(const char* bytes, std::size_t count, std::string_view after) {
  // A '<' among the last two bytes is followed by bytes of `after`, if by any.
  const std::size_t known = count + after.size();
  auto at = [&](std::size_t i) { return i < count ? bytes[i] : after[i - count]; };
  auto add = [&](std::size_t i) {
    if (i + 2 < count) {
      Add(bytes[i + 1], bytes[i + 2]);
    } else if (i + 2 < known) {
      Add(at(i + 1), at(i + 2));
    }
  };
  std::size_t i = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time: a '<' turns up every few dozen bytes of a page, too often for a
  // call to memchr per '<' to pay.
  const __m128i lead = _mm_set1_epi8(kLead);
  for (; i + 16 <= count; i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lead)));
    while (hits != 0) {
      add(i + static_cast<std::size_t>(std::countr_zero(hits)));
      hits &= hits - 1;
    }
  }
#endif
  for (; i < count; ++i) {
    if (bytes[i] == kLead) {
      add(i);
    }
  }
}

}  // namespace varnow
