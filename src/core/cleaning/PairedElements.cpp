// Script, noscript and iframe elements: removed from the opening through the closing tag.
#include "cleaning/PairedBlockPass.h"
#include "cleaning/Procedures.h"

namespace varnow {
namespace {

constexpr PairedBlock kScript{"<SCRIPT", "</SCRIPT>", " удален <script> [%d]",
                              " удален пустой </script> [%d]"};
constexpr PairedBlock kNoscript{"<NOSCRIPT", "</NOSCRIPT>", " удален <noscript> [%d]",
                                " удален пустой </noscript> [%d]"};
constexpr PairedBlock kIframe{"<IFRAME", "</IFRAME>", " удален <iframe> [%d]",
                              " удален пустой </iframe> [%d]"};

bool BothRemain(Document& doc, const PairedBlock& block) {
  return doc.PatternRemains(block.opening) && doc.PatternRemains(block.closing);
}

// Every pass removes a closing tag or finds none, and a pass that changes nothing ends the
// loop. Script and noscript removal never look at the stop request.
void RemoveUnstoppable(CleaningContext& ctx, std::string_view path, const PairedBlock& block) {
  do {
    if (!PairedBlockPass(ctx, path, block)) {
      return;
    }
  } while (BothRemain(ctx.DocText(), block));
}

}  // namespace

void RemoveScriptBlocks(CleaningContext& ctx, std::string_view path) {
  RemoveUnstoppable(ctx, path, kScript);
}

void RemoveNoscriptBlocks(CleaningContext& ctx, std::string_view path) {
  RemoveUnstoppable(ctx, path, kNoscript);
}

void RemoveIframeBlocks(CleaningContext& ctx, std::string_view path) {
  do {
    if (ctx.StopFlag() || !PairedBlockPass(ctx, path, kIframe)) {
      return;
    }
  } while (BothRemain(ctx.DocText(), kIframe));
}

}  // namespace varnow
