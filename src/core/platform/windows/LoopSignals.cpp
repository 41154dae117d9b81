// SPDX-License-Identifier: MIT
#include "platform/LoopSignals.h"

namespace varnow {

// Windows tells a window's program of the session's end by the window system's messages, which
// Qt turns into the application's own end: nothing to block or read here.
void BlockLoopSignals() {}

LoopSignals::LoopSignals() = default;

LoopSignals::~LoopSignals() = default;

int LoopSignals::Next() {
  return 0;
}

}  // namespace varnow
