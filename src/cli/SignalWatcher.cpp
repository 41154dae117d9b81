// SPDX-License-Identifier: MIT
#include "SignalWatcher.h"

#include <pthread.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "CliApp.h"

namespace varnow::cli {
namespace {

// Sent by the destructor to wake the watcher; from anyone else it is ignored.
constexpr int kWakeSignal = SIGUSR1;

}  // namespace

SignalWatcher::SignalWatcher() {
  sigemptyset(&set_);
  // The terminal closing (SIGHUP) and a time limit running out (SIGALRM) end a run as Ctrl-C
  // does: log.txt is saved.
  for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGALRM, kWakeSignal}) {
    sigaddset(&set_, sig);
  }
  pthread_sigmask(SIG_BLOCK, &set_, nullptr);
  try {
    thread_ = std::thread([this] { Watch(); });
  } catch (const std::system_error&) {
    // No thread to be had (a limit on processes): the signals keep their usual effect.
    pthread_sigmask(SIG_UNBLOCK, &set_, nullptr);
  }
}

SignalWatcher::~SignalWatcher() {
  if (!thread_.joinable()) {
    return;
  }
  quitting_ = true;
  pthread_kill(thread_.native_handle(), kWakeSignal);
  thread_.join();
}

void SignalWatcher::Watch() {
  for (;;) {
    int sig = 0;
    if (sigwait(&set_, &sig) != 0) {
      continue;
    }
    if (sig == kWakeSignal) {
      if (quitting_) {
        return;
      }
      continue;
    }
    int none = 0;
    if (!signal_.compare_exchange_strong(none, sig)) {
      // Asked twice: the user does not want to wait for the run to reach its next stop point.
      // Every file is written whole or not at all, so ending here loses nothing written.
      std::_Exit(kExitSignalBase + sig);
    }
  }
}

}  // namespace varnow::cli
