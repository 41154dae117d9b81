// SPDX-License-Identifier: MIT
#pragma once

#include <signal.h>

#include <atomic>
#include <thread>

namespace varnow::cli {

// Turns Ctrl-C (SIGINT), SIGTERM, SIGHUP and SIGALRM into a flag that the run's pump reads, without
// a signal handler and without a global. Must be made before any other thread starts: it blocks the
// signals in the calling thread, so every thread started later inherits the mask and only the
// watcher receives them. A second signal ends the program at once.
class SignalWatcher {
 public:
  SignalWatcher();
  ~SignalWatcher();
  SignalWatcher(const SignalWatcher&) = delete;
  SignalWatcher& operator=(const SignalWatcher&) = delete;

  bool Interrupted() const { return signal_.load() != 0; }
  int Signal() const { return signal_.load(); }

 private:
  void Watch();

  sigset_t set_{};
  std::atomic<int> signal_{0};
  std::atomic<bool> quitting_{false};
  std::thread thread_;
};

}  // namespace varnow::cli
