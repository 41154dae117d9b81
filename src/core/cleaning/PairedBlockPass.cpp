// SPDX-License-Identifier: MIT
#include "cleaning/PairedBlockPass.h"

namespace varnow {

bool PairedBlockPass(CleaningContext& ctx, std::string_view path, const PairedBlock& block) {
  Document& doc = ctx.Text();
  const Pos b = doc.FindPattern(block.opening);
  const Pos e = doc.FindPattern(block.closing);
  if (e == 0) {
    return false;
  }
  const auto closingLength = static_cast<Pos>(block.closing.size());
  if (b != 0 && b < e + closingLength) {
    doc.Delete(b, e + closingLength - b);
    ctx.LogChange(path, block.blockMessage, b, block.blockName);
    ctx.PumpMessages();
    return true;
  }
  doc.Delete(e, closingLength);
  ctx.LogChange(path, block.orphanMessage, b, block.orphanName);
  if (block.pumpAfterOrphan) {
    ctx.PumpMessages();
  }
  return true;
}

PassesEnd RepeatPairedBlockPass(CleaningContext& ctx, std::string_view path,
                                const PairedBlock& block, StopPolling polling) {
  Document& doc = ctx.Text();
  do {
    if (polling == StopPolling::kBeforeEachPass && ctx.StopFlag()) {
      return PassesEnd::kStopped;
    }
    if (!PairedBlockPass(ctx, path, block)) {
      return PassesEnd::kDone;
    }
  } while (doc.PatternRemains(block.opening) && doc.PatternRemains(block.closing));
  return PassesEnd::kDone;
}

}  // namespace varnow
