// SPDX-License-Identifier: MIT
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
  const PairedBlock block{.opening = opening,
                          .closing = closing,
                          .blockMessage = MessageId::kBannerBlock,
                          .orphanMessage = MessageId::kBannerOrphan,
                          .blockName = firstText,
                          .orphanName = lastText};
  // An empty marker never matches; a marker of any bytes (a NUL among them) cannot make the
  // loop repeat forever.
  RepeatPairedBlockPass(ctx, path, block, StopPolling::kBeforeEachPass);
}

}  // namespace varnow
