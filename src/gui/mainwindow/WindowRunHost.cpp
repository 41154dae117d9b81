// SPDX-License-Identifier: MIT
#include "WindowRunHost.h"

#include <QAction>
#include <QMetaObject>
#include <QTimer>

#include "LogPane.h"
#include "StatusPanel.h"
#include "batch/BatchRun.h"
#include "text/Cp1251.h"
#include "text/LoggedName.h"

namespace varnow {

namespace {

// The status bar shows the run's status and progress this often, which reads as at once and
// leaves the cores to the run.
constexpr int kStatusIntervalMs = 40;

}  // namespace

WindowRunHost::WindowRunHost(Controls controls)
    : controls_(controls), statusTimer_(new QTimer(controls.status)) {
  statusTimer_->setSingleShot(true);
  statusTimer_->setInterval(kStatusIntervalMs);
  QObject::connect(statusTimer_, &QTimer::timeout, controls.status, [this] { ShowStatus(); });
}

void WindowRunHost::SetStatusInterval(int milliseconds) {
  statusTimer_->setInterval(milliseconds);
}

void WindowRunHost::PublishFolder(std::string folder) {
  const std::lock_guard lock(mutex_);
  folder_ = std::move(folder);
}

void WindowRunHost::PublishSettings(std::string outputFolder,
                                    const std::array<bool, kProcedureCount>& switches,
                                    LogForm logForm, std::optional<std::uint64_t> maxPageSize) {
  const std::lock_guard lock(mutex_);
  outputFolder_ = std::move(outputFolder);
  switches_ = switches;
  logForm_ = logForm;
  maxPageSize_ = maxPageSize;
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

bool WindowRunHost::PublishedSwitch(ProcedureId which) const {
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

bool WindowRunHost::Poll() {
  const bool stop = stopAsked_.exchange(false);
  if (pumpHook_) {
    pumpHook_();
  }
  return stop;
}

std::string WindowRunHost::FolderText() {
  const std::lock_guard lock(mutex_);
  return folder_;
}

std::uint64_t WindowRunHost::SettingsGeneration() {
  const std::lock_guard lock(mutex_);
  return generation_;
}

LogEncoding WindowRunHost::LogFileEncoding() {
  const std::lock_guard lock(mutex_);
  return logForm_.encoding;
}

Language WindowRunHost::LogLanguage() {
  const std::lock_guard lock(mutex_);
  return logForm_.language;
}

std::optional<std::uint64_t> WindowRunHost::MaxPageBytes() {
  const std::lock_guard lock(mutex_);
  return maxPageSize_;
}

void WindowRunHost::SetStatus(const std::string& text) {
  {
    const std::lock_guard lock(statusMutex_);
    status_ = text;
    statusChanged_ = true;
  }
  QueueStatusShown();
}

void WindowRunHost::QueueStatusShown() {
  if (!statusQueued_.exchange(true)) {
    OnWindowThread([this] {
      if (statusTimer_->interval() == 0) {
        ShowStatus();
      } else {
        statusTimer_->start();
      }
    });
  }
}

void WindowRunHost::ShowStatus() {
  statusTimer_->stop();
  statusQueued_ = false;
  std::string status;
  bool statusChanged = false;
  bool progressChanged = false;
  std::size_t done = 0;
  std::size_t total = 0;
  {
    const std::lock_guard lock(statusMutex_);
    std::swap(statusChanged, statusChanged_);
    std::swap(progressChanged, progressChanged_);
    if (statusChanged) {
      status = status_;
    }
    done = done_;
    total = total_;
  }
  if (statusChanged) {
    controls_.status->SetText(QString::fromStdString(status));
  }
  if (progressChanged) {
    controls_.status->ShowProgress(done, total);
  }
}

void WindowRunHost::RunStarted() {
  runLogLanguage_ = LogLanguage();  // the run's, asked for as it began
  controls_.logPane->Store().Clear();
  controls_.logPane->LinesAdded();
}

void WindowRunHost::Notice(const RunNotice& notice) {
  AppendLog(NoticeText(notice, runLogLanguage_));
  if (notice.Kind() == MessageKind::kLogSaved) {
    logPath_ = notice.about;
    if (logSaved_) {
      logSaved_();
    }
  }
}

// A file name that is not UTF-8 comes, most likely, from a cp1251 system: it is shown so.
void WindowRunHost::AppendLog(std::string_view line) {
  controls_.logPane->Store().Append(ShownAsText(line, converted_));
  controls_.logPane->LinesAdded();
}

void WindowRunHost::PageChanges(std::string_view page, std::size_t first,
                                std::span<const LoggedChange> changes) {
  // The page's name as the log writes it, once for all its changes.
  const std::string shownPage = LoggedName(page);
  LogStore::Appender store(controls_.logPane->Store());  // one hold of its lock for them all
  for (std::size_t k = 0; k < changes.size(); ++k) {
    text_.clear();
    AppendChangeText(text_, changes[k], runLogLanguage_);
    store.AddChange(page, shownPage, text_, first + k, changes[k].procedure);
  }
  controls_.logPane->LinesAdded();
}

void WindowRunHost::PagesDone(std::size_t done, std::size_t total) {
  {
    const std::lock_guard lock(statusMutex_);
    done_ = done;
    total_ = total;
    progressChanged_ = true;
  }
  QueueStatusShown();
}

void WindowRunHost::RunEnded(const RunEnd&) {
  OnWindowThread([this] {
    ShowStatus();  // the last status, at once
    controls_.logPane->Flush();
    controls_.status->HideProgress();
  });
}

}  // namespace varnow
