// SPDX-License-Identifier: MIT
// Script, noscript and iframe elements: removed from the opening through the closing tag.
#include "cleaning/PairedBlockPass.h"
#include "cleaning/Procedures.h"

namespace varnow {
namespace {

constexpr PairedBlock kScript{.opening = "<SCRIPT",
                              .closing = "</SCRIPT>",
                              .blockMessage = MessageId::kScriptBlock,
                              .orphanMessage = MessageId::kScriptOrphan};
constexpr PairedBlock kNoscript{.opening = "<NOSCRIPT",
                                .closing = "</NOSCRIPT>",
                                .blockMessage = MessageId::kNoscriptBlock,
                                .orphanMessage = MessageId::kNoscriptOrphan};
constexpr PairedBlock kIframe{.opening = "<IFRAME",
                              .closing = "</IFRAME>",
                              .blockMessage = MessageId::kIframeBlock,
                              .orphanMessage = MessageId::kIframeOrphan};

}  // namespace

// Script and noscript removal never look at the stop request; iframe removal does.
void RemoveScriptBlocks(CleaningContext& ctx, std::string_view path) {
  RepeatPairedBlockPass(ctx, path, kScript, StopPolling::kNever);
}

void RemoveNoscriptBlocks(CleaningContext& ctx, std::string_view path) {
  RepeatPairedBlockPass(ctx, path, kNoscript, StopPolling::kNever);
}

void RemoveIframeBlocks(CleaningContext& ctx, std::string_view path) {
  RepeatPairedBlockPass(ctx, path, kIframe, StopPolling::kBeforeEachPass);
}

}  // namespace varnow
