// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "batch/BatchRun.h"
#include "batch/RunHost.h"

namespace varnow::test {

// A host that records everything the run tells it and answers from plain fields, which a test
// may change from the pump hook while the run goes on.
class FakeHost : public RunHost {
 public:
  std::string folder;
  std::string outputFolder;
  std::array<bool, kProcedureCount> switches{};
  LogEncoding logEncoding = LogEncoding::kCp1251;
  std::uint64_t generation = 0;  // to be bumped with a change, as the window does
  // Runs at every pump, after counting it; may call RequestStop or change the fields.
  std::function<void()> onPump;
  // Runs whenever a switch is asked for; may throw, as an allocation does.
  std::function<void()> onSwitchAsked;

  std::vector<std::string> statuses;
  std::vector<std::string> lines;
  std::vector<std::pair<std::size_t, std::size_t>> progress;
  std::vector<ProcedureId> switchesAsked;
  int pumps = 0;
  int clears = 0;
  int ended = 0;

  // The run's poll (the fixture hands it to the run); a stop comes from onPump, by RequestStop.
  void Pump() {
    ++pumps;
    if (onPump) {
      onPump();
    }
  }
  std::string FolderText() override { return folder; }
  std::string OutputFolder() override { return outputFolder; }
  LogEncoding LogFileEncoding() override { return logEncoding; }
  std::uint64_t SettingsGeneration() override { return generation; }
  bool SwitchOn(ProcedureId which) override {
    switchesAsked.push_back(which);
    if (onSwitchAsked) {
      onSwitchAsked();
    }
    return switches[Index(which)];
  }
  void SetStatus(const std::string& text) override { statuses.push_back(text); }
  void RunStarted() override {
    ++clears;
    lines.clear();
    changeProcedures.clear();
    changePages.clear();
  }
  void AppendLog(std::string_view line) override { lines.emplace_back(line); }
  // Each change's procedure, in the order logged, besides its line.
  std::vector<ProcedureId> changeProcedures;
  std::vector<std::string> changePages;
  void PageChanges(std::string_view page, std::size_t first,
                   std::span<const LoggedChange> changes) override {
    for (const LoggedChange& change : changes) {
      changeProcedures.push_back(change.procedure);
      changePages.emplace_back(page);
    }
    RunHost::PageChanges(page, first, changes);
  }
  void PagesDone(std::size_t done, std::size_t total) override {
    progress.emplace_back(done, total);
  }
  void RunEnded(const RunEnd& end) override {
    ++ended;
    ends.push_back(end.how);
  }
  std::vector<RunEnd::How> ends;

  void Enable(ProcedureId s) { switches[Index(s)] = true; }
  const std::string& LastStatus() const { return statuses.back(); }
};

}  // namespace varnow::test
