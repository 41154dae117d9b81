// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <utility>

namespace varnow {

// A run's stop request, as the work below it sees it. Work polls it between its steps (a block
// loaded, an entry of a folder, a change made): Poll runs the host's poll, which does what the
// host has pending (draws its progress, flushes its output, takes the user's Stop) and says
// whether the run is to stop; Stopped only looks. Once stopped, a token stays stopped.
//
// Rules: a token belongs to one thread (the run's, or one worker's) and is polled only there,
// so it needs no lock; what another thread asks for reaches it through the host's poll (an
// atomic the poll reads). Stop is for the token's own thread (the run's RequestStop, called
// from inside its pump, or a test).
class StopToken {
 public:
  using HostPoll = std::function<bool()>;

  StopToken() = default;  // polls nothing, stops only by Stop
  explicit StopToken(HostPoll poll) : poll_(std::move(poll)) {}

  bool Poll() const {
    if (poll_ && poll_()) {
      stopped_ = true;
    }
    return stopped_;
  }
  bool Stopped() const { return stopped_; }
  void Stop() { stopped_ = true; }
  // A new run: not stopped, the same host.
  void Reset() { stopped_ = false; }

 private:
  HostPoll poll_;
  mutable bool stopped_ = false;
};

}  // namespace varnow
