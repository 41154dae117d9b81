// Font start and end tags go, the text between them stays.
#include "cleaning/Procedures.h"
#include "cleaning/TagEdits.h"

namespace varnow {

void RemoveFontTags(CleaningContext& ctx, std::string_view path) {
  Document& doc = ctx.DocText();
  do {
    if (ctx.StopFlag()) {
      return;
    }
    const bool opened = RemoveTagToEnd(ctx, path, "<FONT", " удален <font> [%d]");
    const bool closed = RemoveExact(ctx, path, "</FONT>", " удален </font> [%d]");
    // Only a start tag with no '>' after it is left: nothing more can change.
    if (!opened && !closed) {
      return;
    }
  } while (doc.PatternRemains("<FONT") || doc.PatternRemains("</FONT>"));
}

}  // namespace varnow
