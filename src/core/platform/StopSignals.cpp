// SPDX-License-Identifier: MIT
#include "platform/StopSignals.h"

#include <cstdlib>

namespace varnow {

void StopSignals::Receive(int signal) {
  int none = 0;
  if (!signal_.compare_exchange_strong(none, signal)) {
    // Asked twice: the user does not want to wait for the run to reach its next stop point.
    std::_Exit(exitBase_ + signal);
  }
}

}  // namespace varnow
