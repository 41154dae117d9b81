// SPDX-License-Identifier: MIT
// Mouse-over handlers: cut from the attribute name up to, not including, the tag's '>'.
#include "cleaning/Procedures.h"

namespace varnow {

void RemoveOnMouseOver(CleaningContext& ctx, std::string_view path) {
  constexpr std::string_view kHandler = "ONMOUSEOVER=";
  Document& doc = ctx.Text();
  do {
    const Pos p = doc.FindPattern(kHandler);
    const Pos q = p == 0 ? 0 : doc.FindTagEnd(p);
    // A handler with no '>' after it can never be cut: stop instead of trying forever.
    if (q == 0) {
      return;
    }
    doc.Delete(p, q - p);  // the '>' stays and ends the tag
    ctx.LogChange(path, MessageId::kOnMouseOver, p);
    ctx.PumpMessages();
  } while (doc.PatternRemains(kHandler));
}

}  // namespace varnow
