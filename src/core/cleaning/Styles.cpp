// Style sheets and paragraph attributes.
#include "cleaning/PairedBlockPass.h"
#include "cleaning/Procedures.h"
#include "cleaning/TagEdits.h"

namespace varnow {
namespace {

constexpr PairedBlock kStyle{"<STYLE", "</STYLE>", " удален <style> [%d]",
                             " удален пустой </style> [%d]", false, {}, {}, true};
constexpr std::string_view kParagraph = "<P ";

}  // namespace

void RemoveStyles(CleaningContext& ctx, std::string_view path) {
  Document& doc = ctx.DocText();
  do {
    if (ctx.StopFlag()) {
      return;  // the paragraph stage does not run either
    }
    if (!PairedBlockPass(ctx, path, kStyle)) {
      break;  // nothing changed: nothing more can
    }
  } while (doc.PatternRemains(kStyle.opening) && doc.PatternRemains(kStyle.closing));

  do {
    if (ctx.StopFlag()) {
      return;
    }
    // A paragraph tag with no '>' after it can never be replaced: a pass that changes
    // nothing would be repeated unchanged forever, so it ends the stage.
    if (!ReduceTag(ctx, path, kParagraph, "<p>", " заменен <p...> [%d]")) {
      return;
    }
  } while (doc.PatternRemains(kParagraph));
}

}  // namespace varnow
