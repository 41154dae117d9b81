// SPDX-License-Identifier: MIT
#include "run/RunController.h"

namespace varnow {

RunStep NextRunStep(RunState state, RunEvent event) {
  using S = RunState;
  using A = RunAction;
  switch (event) {
    case RunEvent::kExecutePressed:
      if (state == S::kIdle) {
        return {S::kIdle, A::kStart};  // running once the program has started it
      }
      if (state == S::kStopping) {
        // Pressed while the stopped run still ends: kept, the new run starts after it.
        return {S::kStoppingThenRun, A::kNothing};
      }
      return {state, A::kNothing};
    case RunEvent::kStarted:
      return {S::kRunning, A::kNothing};
    case RunEvent::kStopPressed:
      if (state == S::kIdle) {
        return {state, A::kNothing};
      }
      // A run waiting to follow is given up; a close asked for stays asked for.
      return {state == S::kStoppingThenClose ? state : S::kStopping, A::kStop};
    case RunEvent::kClosePressed:
      if (state == S::kIdle) {
        return {state, A::kClose};
      }
      // Closing during a run stops it; the window closes once the run has ended.
      return {S::kStoppingThenClose, A::kStop};
    case RunEvent::kEnded:
      if (state == S::kStoppingThenRun) {
        return {state, A::kStart};
      }
      return {S::kIdle, state == S::kStoppingThenClose ? A::kClose : A::kShowEnd};
    case RunEvent::kFailed:
      // A run that was to follow does not, after an error.
      return {S::kIdle, state == S::kStoppingThenClose ? A::kClose : A::kShowEnd};
  }
  return {state, A::kNothing};
}

bool RunController::ExecuteEnabled() const {
  // Pressed while a stopped run ends, Execute starts the next run once it has.
  return state_ == RunState::kIdle || state_ == RunState::kStopping;
}

bool RunController::StopEnabled() const {
  return state_ == RunState::kRunning || state_ == RunState::kStopping ||
         state_ == RunState::kStoppingThenRun;
}

}  // namespace varnow
