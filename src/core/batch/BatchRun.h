#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "batch/RunHost.h"

namespace varnow {

// An error that ended a run; its message is what the user is shown.
class RunError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The batch run: finds the pages under the host's folder, cleans each with the procedures
// switched on, writes the mirrored copies and log.txt. One object serves any number of runs,
// one at a time.
class BatchRun {
 public:
  BatchRun(RunHost& host, std::filesystem::path settingsFile);
  ~BatchRun();
  BatchRun(const BatchRun&) = delete;
  BatchRun& operator=(const BatchRun&) = delete;

  // Runs one whole batch. Returns after a complete or stopped run; after an error the run is
  // ended cleanly (log.txt saved with the error as its last line) and RunError is thrown.
  // Does nothing when a run is already going (called from inside that run's pump).
  void Execute();

  // The Stop action: the run ends at its next poll.
  void RequestStop();

  bool Running() const;
  bool StopFlag() const;
};

}  // namespace varnow
