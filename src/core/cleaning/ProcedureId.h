// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

namespace varnow {

// The cleaning procedures, in the order of their switches' keys in the settings file. Each has
// its row in the procedure table (ProcedureTable.h), which says everything else about it: a new
// procedure takes an id here (before kLast, or as the new kLast), its row, its file and its
// tests.
enum class ProcedureId {
  kScript,
  kNoscript,
  kIframe,
  kOnMouseOver,
  kSpan,
  kStyle,
  kMSWord,
  kTable,
  kBody,
  kBanner,
  kFont,
  kBlank,
  kLast = kBlank,  // not a procedure of its own: the last one
};

constexpr std::size_t Index(ProcedureId id) {
  return static_cast<std::size_t>(id);
}

// How many procedures there are; the table holds a row for each (checked where it stands).
inline constexpr std::size_t kProcedureCount = Index(ProcedureId::kLast) + 1;

// Banner marker pairs: sections "Banner0" to "Banner20", used in this order.
inline constexpr int kBannerSlots = 21;

}  // namespace varnow
