// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cleaning/CleaningContext.h"
#include "cleaning/ProcedureId.h"

namespace varnow {

// Banner markers as the procedure takes them: cp1251 bytes, First then Last.
using MarkerBytes = std::pair<std::string, std::string>;

// Cleans one document: calls each procedure whose switch is on, in the fixed run order.
// `switchOn` is asked right before each procedure (a switch changed while a procedure pumps
// counts for the next one). When the banner switch is on, `bannerSlot` is asked for slots 0 to
// 20 in order, each right before it is used, so a slot saved while an earlier one is being
// removed counts for the later slots of the same page; a slot whose markers are both empty is
// passed over.
using BannerSlotReader = std::function<MarkerBytes(int slot)>;
// What each procedure's edits removed and put in, by Index(ProcedureId).
using ProcedureEdits = std::array<Document::EditBytes, kProcedureCount>;

// Runs the procedures switched on, in run order; adds to `edits`, where given, what each did.
void RunProcedures(CleaningContext& ctx, std::string_view path,
                   const std::function<bool(ProcedureId)>& switchOn,
                   const BannerSlotReader& bannerSlot, ProcedureEdits* edits = nullptr);

// A reader of a fixed list of banner pairs, slot i being pairs[i] (for tests and benchmarks).
BannerSlotReader FixedBannerSlots(std::vector<MarkerBytes> pairs);

}  // namespace varnow
