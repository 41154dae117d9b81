// SPDX-License-Identifier: MIT
// Font start and end tags go, the text between them stays.
#include "cleaning/Procedures.h"
#include "cleaning/TagEdits.h"

namespace varnow {

void RemoveFontTags(CleaningContext& ctx, std::string_view path) {
  RemoveStartAndEndTags(ctx, path,
                        {.start = "<FONT",
                         .startMessage = MessageId::kFontStart,
                         .end = "</FONT>",
                         .endMessage = MessageId::kFontEnd});
}

}  // namespace varnow
