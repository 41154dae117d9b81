// SPDX-License-Identifier: MIT
// Table, row and cell start tags lose their attributes.
#include "cleaning/Procedures.h"
#include "cleaning/TagEdits.h"

namespace varnow {

void SimplifyTableTags(CleaningContext& ctx, std::string_view path) {
  Document& doc = ctx.Text();
  do {
    if (ctx.StopFlag()) {
      return;
    }
    const std::uint64_t before = ctx.ChangeCount();
    ReduceTag(ctx, path, "<TABLE ", "<table>", MessageId::kTableReduced);
    ReduceTag(ctx, path, "<TR ", "<tr>", MessageId::kRowReduced);
    ReduceTag(ctx, path, "<TD ", "<td>", MessageId::kCellReduced);
    // Only tags with no '>' after them are left: nothing more can change.
    if (ctx.ChangeCount() == before) {
      return;
    }
  } while (doc.PatternRemains("<TABLE ") || doc.PatternRemains("<TR ") ||
           doc.PatternRemains("<TD "));
}

}  // namespace varnow
