// SPDX-License-Identifier: MIT
#pragma once

// The stop requests a window's event loop reads as it reads input: SIGTERM and SIGHUP (the
// session ending, the terminal closing) through a signalfd on Linux, with no handler and no
// global. Windows sends a window's program no such signals (the session's end comes as the
// window system's own message), so there is nothing to read there.
namespace varnow {

// Blocks the signals in the calling thread; called before any other thread starts, so that
// every thread inherits the mask and only the loop takes them.
void BlockLoopSignals();

// A descriptor the loop watches for reading, the signals blocked in the calling thread while it
// lives (and unblocked again at its end where they were not blocked before); -1 where there is
// none (the signals then keep their usual effect, unblocked).
class LoopSignals {
 public:
  LoopSignals();
  ~LoopSignals();
  LoopSignals(const LoopSignals&) = delete;
  LoopSignals& operator=(const LoopSignals&) = delete;

  int Descriptor() const { return fd_; }
  // The next signal waiting, 0 when none is.
  int Next();

 private:
  int fd_ = -1;
  bool unblockAtEnd_ = false;  // the signals were not blocked before it
};

}  // namespace varnow
