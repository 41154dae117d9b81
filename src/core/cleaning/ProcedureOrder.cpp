// SPDX-License-Identifier: MIT
#include "cleaning/ProcedureOrder.h"

#include "cleaning/ProcedureTable.h"

namespace varnow {

void RunProcedures(CleaningContext& ctx, std::string_view path,
                   const std::function<bool(Switch)>& switchOn,
                   const BannerSlotReader& bannerSlot) {
  for (const Switch s : kRunOrder) {
    if (switchOn(s)) {
      ctx.SetProcedure(s);
      RowOf(s).run(ctx, path, bannerSlot);
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
