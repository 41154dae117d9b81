// SPDX-License-Identifier: MIT
// Style sheets and paragraph attributes.
#include "cleaning/PairedBlockPass.h"
#include "cleaning/Procedures.h"
#include "cleaning/TagEdits.h"

namespace varnow {
namespace {

constexpr PairedBlock kStyle{.opening = "<STYLE",
                             .closing = "</STYLE>",
                             .blockMessage = MessageId::kStyleBlock,
                             .orphanMessage = MessageId::kStyleOrphan,
                             .pumpAfterOrphan = true};
constexpr std::string_view kParagraph = "<P ";

}  // namespace

void RemoveStyles(CleaningContext& ctx, std::string_view path) {
  Document& doc = ctx.Text();
  if (RepeatPairedBlockPass(ctx, path, kStyle, StopPolling::kBeforeEachPass) ==
      PassesEnd::kStopped) {
    return;  // the paragraph stage does not run either
  }

  do {
    if (ctx.StopFlag()) {
      return;
    }
    // A paragraph tag with no '>' after it can never be replaced: a pass that changes
    // nothing would be repeated unchanged forever, so it ends the stage.
    if (!ReduceTag(ctx, path, kParagraph, "<p>", MessageId::kParagraphReduced)) {
      return;
    }
  } while (doc.PatternRemains(kParagraph));
}

}  // namespace varnow
