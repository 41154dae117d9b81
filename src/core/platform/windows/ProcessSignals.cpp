// SPDX-License-Identifier: MIT
#include "platform/ProcessSignals.h"

namespace varnow {

// Windows has neither signal: a write to a pipe whose reader went away fails (ERROR_NO_DATA),
// and files have no size limit of the process's, so there is nothing to turn off.
void IgnoreSignalsThatWouldKillARun() {}

}  // namespace varnow
