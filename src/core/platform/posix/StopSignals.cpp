// SPDX-License-Identifier: MIT
#include "platform/StopSignals.h"

#include <pthread.h>
#include <signal.h>

#include <system_error>

namespace varnow {
namespace {

// Sent by the destructor to wake the watcher; from anyone else it is ignored.
constexpr int kWakeSignal = SIGUSR1;

sigset_t Watched() {
  sigset_t set;
  sigemptyset(&set);
  // The terminal closing (SIGHUP) and a time limit running out (SIGALRM) end a run as Ctrl-C
  // does: log.txt is saved.
  for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGALRM, kWakeSignal}) {
    sigaddset(&set, sig);
  }
  return set;
}

}  // namespace

StopSignals::StopSignals(int exitBase) : exitBase_(exitBase) {
  static_assert(SIGHUP == kHangUp && SIGINT == kInterrupt && SIGALRM == kAlarm &&
                SIGTERM == kTerminate);
  const sigset_t set = Watched();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  try {
    thread_ = std::thread([this, set] {
      for (;;) {
        int sig = 0;
        if (sigwait(&set, &sig) != 0) {
          continue;
        }
        if (sig == kWakeSignal) {
          if (quitting_) {
            return;
          }
          continue;
        }
        Receive(sig);
      }
    });
  } catch (const std::system_error&) {
    // No thread to be had (a limit on processes): the signals keep their usual effect.
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  }
}

StopSignals::~StopSignals() {
  if (!thread_.joinable()) {
    return;
  }
  quitting_ = true;
  pthread_kill(thread_.native_handle(), kWakeSignal);
  thread_.join();
}

}  // namespace varnow
