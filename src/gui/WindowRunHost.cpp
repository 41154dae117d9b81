// SPDX-License-Identifier: MIT
#include "WindowRunHost.h"

#include <QAction>
#include <QMetaObject>

#include "LogPane.h"
#include "StatusPanel.h"
#include "batch/BatchRun.h"
#include "text/Cp1251.h"

namespace varnow {

WindowRunHost::WindowRunHost(Controls controls) : controls_(controls) {}

void WindowRunHost::PublishFolder(std::string folder) {
  const std::lock_guard lock(mutex_);
  folder_ = std::move(folder);
}

void WindowRunHost::PublishSettings(std::string outputFolder,
                                    const std::array<bool, kSwitchCount>& switches,
                                    LogEncoding logEncoding) {
  const std::lock_guard lock(mutex_);
  outputFolder_ = std::move(outputFolder);
  switches_ = switches;
  logEncoding_ = logEncoding;
  ++generation_;
}

void WindowRunHost::BannersChanged() {
  const std::lock_guard lock(mutex_);
  ++generation_;
}

std::string WindowRunHost::PublishedOutputFolder() const {
  const std::lock_guard lock(mutex_);
  return outputFolder_;
}

bool WindowRunHost::PublishedSwitch(Switch which) const {
  const std::lock_guard lock(mutex_);
  return switches_[Index(which)];
}

void WindowRunHost::RunStarting() {
  stopAsked_ = false;
  logPath_.clear();
}

void WindowRunHost::OnWindowThread(std::function<void()> work) {
  // Queued to the status bar, which lives as long as the window: what is handed over is done
  // in order, and nothing is done once the window is gone.
  QMetaObject::invokeMethod(controls_.status, std::move(work), Qt::QueuedConnection);
}

void WindowRunHost::Pump() {
  if (stopAsked_.exchange(false) && run_ != nullptr) {
    run_->RequestStop();
  }
  if (pumpHook_) {
    pumpHook_();
  }
}

std::string WindowRunHost::FolderText() {
  const std::lock_guard lock(mutex_);
  return folder_;
}

std::string WindowRunHost::OutputFolder() {
  const std::lock_guard lock(mutex_);
  return outputFolder_;
}

bool WindowRunHost::SwitchOn(Switch which) {
  const std::lock_guard lock(mutex_);
  return switches_[Index(which)];
}

std::uint64_t WindowRunHost::SettingsGeneration() {
  const std::lock_guard lock(mutex_);
  return generation_;
}

LogEncoding WindowRunHost::LogFileEncoding() {
  const std::lock_guard lock(mutex_);
  return logEncoding_;
}

void WindowRunHost::SetStatus(const std::string& text) {
  OnWindowThread([status = controls_.status, shown = QString::fromStdString(text)] {
    status->SetText(shown);
  });
}

void WindowRunHost::ClearLog() {
  controls_.logPane->Store().Clear();
  controls_.logPane->LinesAdded();
}

void WindowRunHost::AppendNotice(Notice kind, std::string_view page, std::string_view line) {
  if (kind == Notice::kLogSaved) {
    logPath_ = std::string(page);
  }
  AppendLog(line);
}

// A file name that is not UTF-8 comes, most likely, from a cp1251 system: it is shown so.
void WindowRunHost::AppendLog(std::string_view line) {
  controls_.logPane->Store().Append(ShownAsText(line, converted_));
  controls_.logPane->LinesAdded();
}

void WindowRunHost::AppendChanges(std::string_view page, std::size_t first, std::string_view lines,
                                  const std::vector<std::size_t>& ends,
                                  const std::vector<ChangeFacts>& facts) {
  LogStore& store = controls_.logPane->Store();
  std::size_t start = 0;
  for (std::size_t rank = 0; rank < ends.size(); ++rank) {
    store.AppendChange(ShownAsText(lines.substr(start, ends[rank] - start), converted_), page,
                       first + rank, facts[rank].procedure);
    start = ends[rank];
  }
  controls_.logPane->LinesAdded();
}

void WindowRunHost::SetButtons(bool executeEnabled, bool stopEnabled) {
  OnWindowThread([execute = controls_.execute, stop = controls_.stop, executeEnabled, stopEnabled] {
    execute->setEnabled(executeEnabled);
    stop->setEnabled(stopEnabled);
  });
}

void WindowRunHost::Progress(std::size_t done, std::size_t total) {
  OnWindowThread([status = controls_.status, done, total] { status->ShowProgress(done, total); });
}

void WindowRunHost::RunEnded() {
  OnWindowThread([pane = controls_.logPane, status = controls_.status] {
    pane->Flush();
    status->HideProgress();
  });
}

}  // namespace varnow
