#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cleaning/CleaningContext.h"
#include "settings/Switches.h"

namespace varnow {

// Banner markers as the procedure takes them: cp1251 bytes, First then Last.
using MarkerBytes = std::pair<std::string, std::string>;

// Cleans one document: calls each procedure whose switch is on, in the fixed run order.
// `switchOn` is asked right before each procedure (a switch changed while a procedure pumps
// counts for the next one); `bannerPairs` is asked only when the banner switch is on, and
// gives the used slots in slot order (a slot with both markers empty is left out).
void RunProcedures(CleaningContext& ctx, std::string_view path,
                   const std::function<bool(Switch)>& switchOn,
                   const std::function<std::vector<MarkerBytes>()>& bannerPairs);

}  // namespace varnow
