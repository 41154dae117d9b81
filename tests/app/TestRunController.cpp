// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/RunController.h"

namespace varnow {
namespace {

// What the buttons show: E for Execute enabled, S for Stop enabled, "-" for neither.
std::string Buttons(const RunController& run) {
  std::string shown = std::string(run.ExecuteEnabled() ? "E" : "") + (run.StopEnabled() ? "S" : "");
  return shown.empty() ? "-" : shown;
}

// Sequences of what happens, the actions answered and the buttons after each: Execute, Stop,
// Execute again while the stopped run ends, closing during a run, errors.
TEST(RunController, EventsLeadToTheirActionsAndButtons) {
  using E = RunEvent;
  using A = RunAction;
  struct Step {
    E event;
    A action;
    const char* buttons;
  };
  const struct {
    const char* name;
    std::vector<Step> steps;
  } cases[] = {
      {"a run to its end",
       {{E::kExecutePressed, A::kStart, "E"},
        {E::kStarted, A::kNothing, "S"},
        {E::kEnded, A::kShowEnd, "E"}}},
      {"Execute declined (no output folder) leaves it idle",
       {{E::kExecutePressed, A::kStart, "E"}, {E::kStopPressed, A::kNothing, "E"}}},
      {"Stop, then the end",
       {{E::kExecutePressed, A::kStart, "E"},
        {E::kStarted, A::kNothing, "S"},
        {E::kExecutePressed, A::kNothing, "S"},
        {E::kStopPressed, A::kStop, "ES"},
        {E::kStopPressed, A::kStop, "ES"},
        {E::kEnded, A::kShowEnd, "E"}}},
      {"Execute while the stopped run ends starts the next after it",
       {{E::kExecutePressed, A::kStart, "E"},
        {E::kStarted, A::kNothing, "S"},
        {E::kStopPressed, A::kStop, "ES"},
        {E::kExecutePressed, A::kNothing, "S"},
        {E::kExecutePressed, A::kNothing, "S"},
        {E::kEnded, A::kStart, "S"},
        {E::kStarted, A::kNothing, "S"},
        {E::kEnded, A::kShowEnd, "E"}}},
      {"Stop again gives the next run up",
       {{E::kExecutePressed, A::kStart, "E"},
        {E::kStarted, A::kNothing, "S"},
        {E::kStopPressed, A::kStop, "ES"},
        {E::kExecutePressed, A::kNothing, "S"},
        {E::kStopPressed, A::kStop, "ES"},
        {E::kEnded, A::kShowEnd, "E"}}},
      {"an error after Execute while stopping starts nothing",
       {{E::kExecutePressed, A::kStart, "E"},
        {E::kStarted, A::kNothing, "S"},
        {E::kStopPressed, A::kStop, "ES"},
        {E::kExecutePressed, A::kNothing, "S"},
        {E::kFailed, A::kShowEnd, "E"}}},
      {"closing when idle closes", {{E::kClosePressed, A::kClose, "E"}}},
      {"closing during a run stops it and closes at its end, whatever is pressed meanwhile",
       {{E::kExecutePressed, A::kStart, "E"},
        {E::kStarted, A::kNothing, "S"},
        {E::kClosePressed, A::kStop, "-"},
        {E::kExecutePressed, A::kNothing, "-"},
        {E::kStopPressed, A::kStop, "-"},
        {E::kEnded, A::kClose, "E"}}},
      {"closing during a run that fails closes after its error",
       {{E::kExecutePressed, A::kStart, "E"},
        {E::kStarted, A::kNothing, "S"},
        {E::kClosePressed, A::kStop, "-"},
        {E::kFailed, A::kClose, "E"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RunController run;
    EXPECT_EQ(Buttons(run), "E");
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      EXPECT_EQ(run.On(c.steps[i].event), c.steps[i].action) << "step " << i;
      EXPECT_EQ(Buttons(run), c.steps[i].buttons) << "step " << i;
    }
    EXPECT_FALSE(run.Running());
  }
}

}  // namespace
}  // namespace varnow
