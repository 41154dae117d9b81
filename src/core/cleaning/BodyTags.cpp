// SPDX-License-Identifier: MIT
// Body and html start tags lose their attributes.
#include "cleaning/Procedures.h"
#include "cleaning/TagEdits.h"

namespace varnow {

void SimplifyBodyTags(CleaningContext& ctx, std::string_view path) {
  Document& doc = ctx.Text();
  do {
    if (ctx.StopFlag()) {
      return;
    }
    const std::uint64_t before = ctx.ChangeCount();
    ReduceTag(ctx, path, "<BODY ", "<body>", MessageId::kBodyReduced);
    if (ctx.StopFlag()) {
      return;
    }
    ReduceTag(ctx, path, "<HTML ", "<html>", MessageId::kHtmlReduced);
    // A body tag with no '>' after it keeps the loop test true but can never change; once the
    // html tags are done too, nothing more can change.
    if (ctx.ChangeCount() == before) {
      return;
    }
  } while (doc.PatternRemains("<BODY "));  // html tags do not keep the loop going
}

}  // namespace varnow
