// Blocks between the user's own markers.
#include "cleaning/PairedBlockPass.h"
#include "cleaning/Procedures.h"
#include "text/AsciiCase.h"
#include "text/Cp1251.h"

namespace varnow {

void RemoveBannerBlocks(CleaningContext& ctx, std::string_view path, std::string_view first,
                        std::string_view last) {
  const std::string opening = AsciiUpper(first);
  const std::string closing = AsciiUpper(last);
  // The log shows the markers as typed; they are stored as cp1251 bytes.
  const std::string firstText = Cp1251ToUtf8(first);
  const std::string lastText = Cp1251ToUtf8(last);
  const PairedBlock block{opening,  closing,  " удален %s [%d]", " удален пустой %s [%d]",
                          true,     firstText, lastText,          false};
  Document& doc = ctx.DocText();
  // Every pass deletes at least one byte or finds no closing marker; a pass that changes
  // nothing ends the loop, so no marker, whatever its bytes, can make it repeat forever.
  // An empty marker never matches.
  do {
    if (ctx.StopFlag() || !PairedBlockPass(ctx, path, block)) {
      return;
    }
  } while (doc.PatternRemains(opening) && doc.PatternRemains(closing));
}

}  // namespace varnow
