// SPDX-License-Identifier: MIT
#pragma once

namespace varnow {

// A run as a program shows it, and the one function that moves it from state to state. The
// program tells it what happened (Execute or Stop pressed, a close asked for, the run started
// or ended) and does what it answers; the buttons follow from the state alone, so nothing else
// sets them.
//
//   kIdle             no run
//   kRunning          a run goes on
//   kStopping         Stop was pressed; the run ends at its next poll
//   kStoppingThenRun  Execute was pressed while a stopped run ends: the next starts after it
//   kStoppingThenClose  the window is to close once the run has ended (log.txt saved)
enum class RunState { kIdle, kRunning, kStopping, kStoppingThenRun, kStoppingThenClose };

enum class RunEvent {
  kExecutePressed,
  kStarted,  // the program has started the run it was asked to
  kStopPressed,
  kClosePressed,
  kEnded,   // complete, or stopped by the user
  kFailed,  // ended by an error (which the program shows)
};

// What the program is to do after an event.
enum class RunAction {
  kNothing,
  kStart,    // start a run, where it can (then kStarted)
  kStop,     // ask the run to stop
  kClose,    // close now (no run goes on)
  kShowEnd,  // the run is over: show what it did
};

struct RunStep {
  RunState next;
  RunAction action;
};

// The transition function: from `state`, what `event` leads to.
RunStep NextRunStep(RunState state, RunEvent event);

class RunController {
 public:
  RunState State() const { return state_; }
  bool Running() const { return state_ != RunState::kIdle; }
  bool ExecuteEnabled() const;
  bool StopEnabled() const;

  RunAction On(RunEvent event) {
    const RunStep step = NextRunStep(state_, event);
    state_ = step.next;
    return step.action;
  }

 private:
  RunState state_ = RunState::kIdle;
};

}  // namespace varnow
