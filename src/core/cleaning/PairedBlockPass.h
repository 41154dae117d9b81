// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

#include "cleaning/CleaningContext.h"

namespace varnow {

// One kind of paired block: an opening pattern, a closing pattern, and how removals are logged.
struct PairedBlock {
  std::string_view opening;  // upper-case search pattern; empty never matches
  std::string_view closing;  // upper-case search pattern; its length is what an orphan loses
  MessageId blockMessage;
  MessageId orphanMessage;
  // The values of the messages' %s, where they have one: the user's banner markers as typed.
  std::string_view blockName = {};
  std::string_view orphanName = {};
  bool pumpAfterOrphan = false;
};

// One pass: when the first opening begins before the end of the first closing, the text from
// the opening through that closing goes (block); otherwise the first closing goes alone
// (orphan), logged with the position the first opening had before the deletion, or 0. Without
// any closing nothing changes. Returns whether the text changed.
bool PairedBlockPass(CleaningContext& ctx, std::string_view path, const PairedBlock& block);

// Whether a loop of passes looks at the stop request (before every pass, the first included).
enum class StopPolling { kNever, kBeforeEachPass };
enum class PassesEnd { kDone, kStopped };

// The loop every paired block removal runs: passes while both patterns remain in the text read
// up to its first NUL. A pass that changes nothing ends the loop, whatever the patterns hold,
// so it cannot repeat forever.
PassesEnd RepeatPairedBlockPass(CleaningContext& ctx, std::string_view path,
                                const PairedBlock& block, StopPolling polling);

}  // namespace varnow
