// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <thread>

namespace varnow {

// The requests to stop that reach a program from outside, as the numbers POSIX gives them
// (an exit status of 128 + the number says which one ended a run).
inline constexpr int kHangUp = 1;      // the terminal closed (SIGHUP; a console closed)
inline constexpr int kInterrupt = 2;   // Ctrl-C (SIGINT; CTRL_C_EVENT, CTRL_BREAK_EVENT)
inline constexpr int kAlarm = 14;      // a time limit ran out (SIGALRM)
inline constexpr int kTerminate = 15;  // SIGTERM; the user logging off, the system shutting down

// Turns the stop requests into a flag that a run's pump reads. On POSIX without a signal
// handler and without a global: it blocks SIGINT, SIGTERM, SIGHUP and SIGALRM in the calling
// thread, so it must be made before any other thread starts (every thread started later
// inherits the mask), and one thread of its own waits for them. On Windows through
// SetConsoleCtrlHandler, whose handler takes no context: the one watcher of the process is
// found through one atomic pointer, the only such of the program, set while the watcher
// lives. A second request ends the program at once with `exitBase` + its number: every file is
// written whole or not at all, so nothing written is lost.
class StopSignals {
 public:
  explicit StopSignals(int exitBase);
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  bool Interrupted() const { return signal_.load() != 0; }
  int Signal() const { return signal_.load(); }  // the request's number, 0 if none

  // Takes request `signal`: the first is kept, a second ends the program.
  void Receive(int signal);

 private:
  const int exitBase_;
  std::atomic<int> signal_{0};
  std::atomic<bool> quitting_{false};
  std::thread thread_;  // POSIX's waiting thread
};

}  // namespace varnow
