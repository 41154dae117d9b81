#include "SignalWatcher.h"

#include <pthread.h>
#include <unistd.h>

#include <cstdlib>

#include "CliApp.h"

namespace varnow::cli {
namespace {

// Sent by the destructor to wake the watcher; from anyone else it is ignored.
constexpr int kWakeSignal = SIGUSR1;

}  // namespace

SignalWatcher::SignalWatcher() {
  sigemptyset(&set_);
  sigaddset(&set_, SIGINT);
  sigaddset(&set_, SIGTERM);
  sigaddset(&set_, kWakeSignal);
  pthread_sigmask(SIG_BLOCK, &set_, nullptr);
  thread_ = std::thread([this] { Watch(); });
}

SignalWatcher::~SignalWatcher() {
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
