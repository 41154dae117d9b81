#include "TerminalHost.h"

#include <unistd.h>

#include <utility>

#include "text/Format.h"

namespace varnow::cli {
namespace {

// A few redraws a second: enough to look alive, cheap enough to call at every pump.
constexpr auto kRedrawInterval = std::chrono::milliseconds(200);

}  // namespace

TerminalHost::TerminalHost(std::string folder, std::string storeDir,
                           const std::array<bool, kSwitchCount>& switches,
                           const SignalWatcher& signals, bool showProgress)
    : folder_(std::move(folder)),
      storeDir_(std::move(storeDir)),
      switches_(switches),
      signals_(signals),
      showProgress_(showProgress),
      stdoutShared_(showProgress && ::isatty(STDOUT_FILENO)) {}

void TerminalHost::Pump() {
  if (signals_.Interrupted() && !stopIssued_ && run_ != nullptr && run_->Running()) {
    run_->RequestStop();
    stopIssued_ = true;
  }
  if (showProgress_ && total_ > 0 &&
      std::chrono::steady_clock::now() - lastDraw_ >= kRedrawInterval) {
    DrawProgress();
  }
}

void TerminalHost::AppendLog(const std::string& line) {
  // When both go to the terminal, take the progress line away so the log line stands alone.
  if (stdoutShared_) {
    ClearProgress();
  }
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void TerminalHost::Progress(std::size_t done, std::size_t total) {
  done_ = done;
  total_ = total;
  Pump();
}

void TerminalHost::DrawProgress() {
  const std::string text =
      FormatText("Обработано файлов: %d из %d",
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
