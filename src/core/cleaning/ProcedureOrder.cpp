// SPDX-License-Identifier: MIT
#include "cleaning/ProcedureOrder.h"

#include "cleaning/ProcedureTable.h"

namespace varnow {

void RunProcedures(CleaningContext& ctx, std::string_view path,
                   const std::function<bool(ProcedureId)>& switchOn,
                   const BannerSlotReader& bannerSlot, ProcedureEdits* edits) {
  for (const ProcedureId s : kRunOrder) {
    if (switchOn(s)) {
      ctx.SetProcedure(s);
      const Document::EditBytes before = ctx.Text().Edited();
      RowOf(s).run(ctx, path, bannerSlot);
      if (edits != nullptr) {
        const Document::EditBytes after = ctx.Text().Edited();
        (*edits)[Index(s)].removed += after.removed - before.removed;
        (*edits)[Index(s)].inserted += after.inserted - before.inserted;
      }
    }
  }
}

void procedure_detail::AllBannerSlots(CleaningContext& ctx, std::string_view path,
                                      const BannerSlotReader& bannerSlot) {
  for (int slot = 0; slot < kBannerSlots; ++slot) {
    const auto [first, last] = bannerSlot(slot);
    if (!first.empty() || !last.empty()) {
      RemoveBannerBlocks(ctx, path, first, last);
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
