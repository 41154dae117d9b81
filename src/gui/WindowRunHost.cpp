// SPDX-License-Identifier: MIT
#include "WindowRunHost.h"

#include <QAction>
#include <QCoreApplication>

#include "LogPane.h"
#include "StatusPanel.h"
#include "text/Cp1251.h"

namespace varnow {
namespace {

// The run calls the pump very often (after every change a procedure makes); the event loop
// is reached at most this often, which keeps the window responsive and Stop prompt at no
// cost to the run.
constexpr qint64 kPumpIntervalMs = 25;

}  // namespace

WindowRunHost::WindowRunHost(Controls controls)
    : controls_(controls), pumpIntervalMs_(kPumpIntervalMs) {}

void WindowRunHost::PublishSettings(std::string outputFolder,
                                    const std::array<bool, kSwitchCount>& switches,
                                    LogEncoding logEncoding) {
  outputFolder_ = std::move(outputFolder);
  switches_ = switches;
  logEncoding_ = logEncoding;
}

void WindowRunHost::Pump() {
  if (pumpIntervalMs_ > 0 && sinceLastPump_.isValid() &&
      sinceLastPump_.elapsed() < pumpIntervalMs_) {
    return;
  }
  QCoreApplication::processEvents();  // the queued log lines are shown here too
  sinceLastPump_.start();
}

void WindowRunHost::SetStatus(const std::string& text) {
  controls_.status->SetText(QString::fromStdString(text));
}

void WindowRunHost::ClearLog() {
  controls_.logPane->Clear();
}

// A file name that is not UTF-8 comes, most likely, from a cp1251 system: it is shown so.
void WindowRunHost::AppendNotice(Notice kind, std::string_view page, std::string_view line) {
  if (kind == Notice::kLogSaved) {
    logPath_ = std::string(page);
  }
  AppendLog(line);
}

void WindowRunHost::AppendLog(std::string_view line) {
  std::string converted;
  controls_.logPane->AppendLine(ShownAsText(line, converted));
}

void WindowRunHost::AppendChanges(std::string_view page, std::size_t first, std::string_view lines,
                                  const std::vector<std::size_t>& ends,
                                  const std::vector<ChangeFacts>& facts) {
  std::string converted;
  std::size_t start = 0;
  for (std::size_t rank = 0; rank < ends.size(); ++rank) {
    controls_.logPane->AppendChangeLine(
        ShownAsText(lines.substr(start, ends[rank] - start), converted), page, first + rank,
        facts[rank].procedure);
    start = ends[rank];
  }
}

void WindowRunHost::SetButtons(bool executeEnabled, bool stopEnabled) {
  controls_.execute->setEnabled(executeEnabled);
  controls_.stop->setEnabled(stopEnabled);
}

void WindowRunHost::Progress(std::size_t done, std::size_t total) {
  controls_.status->ShowProgress(done, total);
}

void WindowRunHost::RunEnded() {
  controls_.logPane->Flush();
  controls_.status->HideProgress();
}

}  // namespace varnow
