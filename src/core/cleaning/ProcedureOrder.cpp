#include "cleaning/ProcedureOrder.h"

#include "cleaning/Procedures.h"

namespace varnow {

void RunProcedures(CleaningContext& ctx, std::string_view path,
                   const std::function<bool(Switch)>& switchOn,
                   const BannerSlotReader& bannerSlot) {
  for (const Switch s : kRunOrder) {
    if (!switchOn(s)) {
      continue;
    }
    switch (s) {
      case Switch::kBanner:
        for (int slot = 0; slot < kBannerSlots; ++slot) {
          const auto [first, last] = bannerSlot(slot);
          if (!first.empty() || !last.empty()) {
            RemoveBannerBlocks(ctx, path, first, last);
          }
        }
        break;
      case Switch::kMSWord:
        RemoveWordMarkup(ctx, path);
        break;
      case Switch::kStyle:
        RemoveStyles(ctx, path);
        break;
      case Switch::kSpan:
        RemoveSpanTags(ctx, path);
        break;
      case Switch::kFont:
        RemoveFontTags(ctx, path);
        break;
      case Switch::kTable:
        SimplifyTableTags(ctx, path);
        break;
      case Switch::kBody:
        SimplifyBodyTags(ctx, path);
        break;
      case Switch::kBlank:
        RemoveBlankTargets(ctx, path);
        break;
      case Switch::kScript:
        RemoveScriptBlocks(ctx, path);
        break;
      case Switch::kNoscript:
        RemoveNoscriptBlocks(ctx, path);
        break;
      case Switch::kIframe:
        RemoveIframeBlocks(ctx, path);
        break;
      case Switch::kOnMouseOver:
        RemoveOnMouseOver(ctx, path);
        break;
    }
  }
}

BannerSlotReader FixedBannerSlots(std::vector<MarkerBytes> pairs) {
  return [pairs = std::move(pairs)](int slot) {
    return static_cast<std::size_t>(slot) < pairs.size() ? pairs[static_cast<std::size_t>(slot)]
                                                         : MarkerBytes();
  };
}

}  // namespace varnow
