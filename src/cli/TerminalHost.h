// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "BufferedOutput.h"
#include "batch/RunHost.h"
#include "platform/StopSignals.h"

namespace varnow::cli {

// The run's host on a terminal: log lines to stdout through a large buffer that is flushed at
// least every 100 ms while the run goes on (unless quiet), a live progress line on stderr when
// it is a terminal, and a stop signal turned into Stop at the run's next pump.
class TerminalHost final : public RunHost {
 public:
  TerminalHost(std::string folder, std::string outputFolder,
               const std::array<bool, kProcedureCount>& switches, const StopSignals& signals,
               bool showProgress, bool quiet);

  void UseLogEncoding(LogEncoding encoding) { logEncoding_ = encoding; }
  // The program's own texts in `language`, the log's lines in `logLanguage`.
  void UseLanguages(Language language, Language logLanguage) {
    language_ = language;
    logLanguage_ = logLanguage;
  }
  void UseMaxPageSize(std::optional<std::uint64_t> bytes) { maxPageSize_ = bytes; }
  // Changes and notices as JSON objects, one a line, in place of the log's lines.
  void PrintJson(bool json) { json_ = json; }
  // A line for standard output, with the log's lines (a JSON summary at the end).
  void Print(std::string_view text);
  // Where log.txt was saved, once it has been.
  const std::string& LogPath() const { return logPath_; }
  bool StopIssued() const { return stopIssued_; }
  const std::string& LastStatus() const { return status_; }

  // The run's poll, between its steps: Ctrl-C (and the other stop signals) stop it; the log's
  // lines are flushed and the progress drawn every so often.
  bool Poll();
  std::string FolderText() override { return folder_; }
  std::string OutputFolder() override { return outputFolder_; }
  bool SwitchOn(ProcedureId which) override { return switches_[Index(which)]; }
  LogEncoding LogFileEncoding() override { return logEncoding_; }
  Language LogLanguage() override { return logLanguage_; }
  Language InterfaceLanguage() override { return language_; }
  std::optional<std::uint64_t> MaxPageBytes() override { return maxPageSize_; }
  void SetStatus(const std::string& text) override { status_ = text; }
  void RunStarted() override {}
  void AppendLog(std::string_view line) override;
  void PageChanges(std::string_view page, std::size_t first,
                   std::span<const LoggedChange> changes) override;
  void Notice(const RunNotice& notice) override;
  void PagesDone(std::size_t done, std::size_t total) override;
  void RunEnded(const RunEnd& end) override;

 private:
  void FlushLog();
  void FlushLogIfDue();
  void DrawProgress();
  void ClearProgress();

  std::string folder_;
  std::string outputFolder_;
  std::array<bool, kProcedureCount> switches_;
  LogEncoding logEncoding_ = LogEncoding::kCp1251;
  Language language_ = Language::kEnglish;
  Language logLanguage_ = Language::kRussian;
  std::optional<std::uint64_t> maxPageSize_;
  bool json_ = false;
  std::string logPath_;
  const StopSignals& signals_;
  const bool showProgress_;
  const bool quiet_;         // no log lines on stdout
  const bool stdoutShared_;  // log lines go to the terminal that shows the progress line
  BufferedOutput out_{StandardStream::kOutput};
  std::size_t linesSinceClock_ = 0;
  std::size_t pumpsSinceClock_ = 0;
  bool outputLossReported_ = false;
  bool stopIssued_ = false;
  std::string status_;
  std::size_t done_ = 0;
  std::size_t total_ = 0;
  bool progressShown_ = false;
  std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace varnow::cli
