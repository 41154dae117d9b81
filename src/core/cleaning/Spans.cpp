// Span tags: opening and closing tags go, the text between them stays.
#include "cleaning/Procedures.h"
#include "cleaning/TagEdits.h"

namespace varnow {

void RemoveSpanTags(CleaningContext& ctx, std::string_view path) {
  Document& doc = ctx.DocText();
  do {
    if (ctx.StopFlag()) {
      return;
    }
    // The first opening and the first closing tag, whether or not they belong together.
    const bool opened = RemoveTagToEnd(ctx, path, "<SPAN", " удален <span> [%d]");
    const bool closed = RemoveExact(ctx, path, "</SPAN>", " удален </span> [%d]");
    // Only an opening tag with no '>' after it is left: nothing more can change.
    if (!opened && !closed) {
      return;
    }
  } while (doc.PatternRemains("<SPAN") || doc.PatternRemains("</SPAN>"));
}

}  // namespace varnow
