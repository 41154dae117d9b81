// SPDX-License-Identifier: MIT
#include "document/TagStartFilter.h"

#include <simde/x86/sse2.h>
#include <bit>

namespace varnow {

void TagStartFilter::AddAll(const char* bytes, std::size_t count, std::string_view after,
                            VectorLevel vectors) {
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
  if (vectors != VectorLevel::kScalar) {
    // Sixteen bytes at a time (simde's SSE2: the processor's own on x86-64): a '<' turns up
    // every few dozen bytes of a page, too often for a call to memchr per '<' to pay.
    const simde__m128i lead = simde_mm_set1_epi8(kLead);
    for (; i + 16 <= count; i += 16) {
      const simde__m128i chunk = simde_mm_loadu_si128(bytes + i);
      auto hits = static_cast<unsigned>(simde_mm_movemask_epi8(simde_mm_cmpeq_epi8(chunk, lead)));
      while (hits != 0) {
        add(i + static_cast<std::size_t>(std::countr_zero(hits)));
        hits &= hits - 1;
      }
    }
  }
  for (; i < count; ++i) {
    if (bytes[i] == kLead) {
      add(i);
    }
  }
}

}  // namespace varnow
