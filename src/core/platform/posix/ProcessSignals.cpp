// SPDX-License-Identifier: MIT
#include "platform/ProcessSignals.h"

#include <csignal>

namespace varnow {

void IgnoreSignalsThatWouldKillARun() {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace varnow
