// SPDX-License-Identifier: MIT
#include "TerminalHost.h"

#include "CliTexts.h"
#include "JsonLines.h"

#include <cstring>
#include <utility>

#include "messages/MessageText.h"
#include "platform/StandardStreams.h"
#include "text/Format.h"

namespace varnow::cli {
namespace {

// A few redraws a second: enough to look alive, cheap enough to call at every pump.
constexpr auto kRedrawInterval = std::chrono::milliseconds(200);
// Someone watching a pipe sees the log move at least this often.
constexpr auto kFlushInterval = std::chrono::milliseconds(100);
// Pumps and lines come by the million; the clock is read once per so many of them.
constexpr std::size_t kPumpsPerClockRead = 32;
constexpr std::size_t kLinesPerClockRead = 64;

}  // namespace

TerminalHost::TerminalHost(std::string folder, std::string outputFolder,
                           const std::array<bool, kProcedureCount>& switches,
                           const StopSignals& signals, bool showProgress, bool quiet)
    : folder_(std::move(folder)),
      outputFolder_(std::move(outputFolder)),
      switches_(switches),
      signals_(signals),
      showProgress_(showProgress),
      quiet_(quiet),
      stdoutShared_(showProgress && IsTerminal(StandardStream::kOutput)) {}

bool TerminalHost::Poll() {
  if (signals_.Interrupted()) {
    stopIssued_ = true;
  }
  // The run polls after every change: the clock is read once per so many polls.
  if (++pumpsSinceClock_ < kPumpsPerClockRead) {
    return stopIssued_;
  }
  pumpsSinceClock_ = 0;
  FlushLogIfDue();
  if (showProgress_ && total_ > 0 &&
      std::chrono::steady_clock::now() - lastDraw_ >= kRedrawInterval) {
    DrawProgress();
  }
  return stopIssued_;
}

void TerminalHost::AppendLog(std::string_view line) {
  if (quiet_) {
    return;
  }
  if (json_) {
    // Not a change nor a notice of a kind: standard output holds JSON only.
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    return;
  }
  out_.Add(line);
  out_.Add("\n");
  if (++linesSinceClock_ >= kLinesPerClockRead) {
    linesSinceClock_ = 0;
    FlushLogIfDue();
  }
}

void TerminalHost::Print(std::string_view text) {
  out_.Add(text);
  FlushLog();
}

void TerminalHost::PageChanges(std::string_view page, std::size_t first,
                               std::span<const LoggedChange> changes) {
  if (quiet_) {
    return;
  }
  if (!json_) {
    RunHost::PageChanges(page, first, changes);
    return;
  }
  for (const LoggedChange& change : changes) {
    out_.Add(ChangeJson(change, logLanguage_));
    if (++linesSinceClock_ >= kLinesPerClockRead) {
      linesSinceClock_ = 0;
      FlushLogIfDue();
    }
  }
}

void TerminalHost::Notice(const RunNotice& notice) {
  if (notice.Kind() == MessageKind::kLogSaved) {
    logPath_ = notice.about;
  }
  if (!json_) {
    AppendLog(NoticeText(notice, logLanguage_));
    return;
  }
  if (quiet_) {
    return;
  }
  if (std::string json = NoticeJson(notice, logLanguage_); !json.empty()) {
    out_.Add(json);
  } else {
    // Not a change nor a notice of a kind JSON shows: standard output holds JSON only.
    AppendLog(NoticeText(notice, logLanguage_));
  }
}

void TerminalHost::RunEnded(const RunEnd&) {
  FlushLog();
  ClearProgress();
}

void TerminalHost::FlushLogIfDue() {
  if (out_.Due(kFlushInterval)) {
    FlushLog();
  }
}

void TerminalHost::FlushLog() {
  // When both go to the terminal, take the progress line away so the log lines stand alone.
  if (out_.Pending() && stdoutShared_) {
    ClearProgress();
  }
  out_.Flush();
  if (out_.Error() && !outputLossReported_) {
    outputLossReported_ = true;
    const std::string text =
        FormatText(texts::kOutputFailed.In(language_), {out_.Error()->reason}) + "\n";
    std::fputs(text.c_str(), stderr);
  }
}

void TerminalHost::PagesDone(std::size_t done, std::size_t total) {
  done_ = done;
  total_ = total;
  Poll();
}

void TerminalHost::DrawProgress() {
  const std::string text =
      FormatText(texts::kProgress.In(language_),
                 {static_cast<std::int64_t>(done_), static_cast<std::int64_t>(total_)});
  std::fprintf(stderr, "\r\033[K%s", text.c_str());
  std::fflush(stderr);
  progressShown_ = true;
  lastDraw_ = std::chrono::steady_clock::now();
}

void TerminalHost::ClearProgress() {
  if (progressShown_) {
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    progressShown_ = false;
  }
}

}  // namespace varnow::cli
