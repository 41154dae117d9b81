// SPDX-License-Identifier: MIT
// Span tags: opening and closing tags go, the text between them stays.
#include "cleaning/Procedures.h"
#include "cleaning/TagEdits.h"

namespace varnow {

void RemoveSpanTags(CleaningContext& ctx, std::string_view path) {
  RemoveStartAndEndTags(ctx, path,
                        {.start = "<SPAN",
                         .startMessage = MessageId::kSpanStart,
                         .end = "</SPAN>",
                         .endMessage = MessageId::kSpanEnd});
}

}  // namespace varnow
