#pragma once

#include <string_view>

#include "cleaning/CleaningContext.h"

namespace varnow {

// One kind of paired block: an opening pattern, a closing pattern, and how removals are logged.
struct PairedBlock {
  std::string_view opening;  // upper-case search pattern; empty never matches
  std::string_view closing;  // upper-case search pattern; its length is what an orphan loses
  std::string_view blockMessage;
  std::string_view orphanMessage;
  // When set, the messages carry a %s before their %d: blockName, resp. orphanName.
  bool named = false;
  std::string_view blockName = {};
  std::string_view orphanName = {};
  bool pumpAfterOrphan = false;
};

// One pass: when the first opening begins before the end of the first closing, the text from
// the opening through that closing goes (block); otherwise the first closing goes alone
// (orphan), logged with the position the first opening had before the deletion, or 0. Without
// any closing nothing changes. Returns whether the text changed.
bool PairedBlockPass(CleaningContext& ctx, std::string_view path, const PairedBlock& block);

}  // namespace varnow
