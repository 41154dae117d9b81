// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "InterfaceLanguage.h"
#include "batch/RunHost.h"
#include "cleaning/ProcedureId.h"

class QAction;
class QTimer;

namespace varnow {

class LogPane;
class StatusPanel;

// The batch run's host in the window, the twin of the command line's TerminalHost. The run
// goes on a thread of its own; what it asks for (the folder, the output folder, the switches)
// is what the window published last, read under a lock, never a widget. Its lines go straight
// into the log pane's store; the status, the progress and the buttons are handed to the
// window's thread, in the order the run reports them.
class WindowRunHost final : public RunHost {
 public:
  // The window's controls the run reports to; they outlive the host.
  struct Controls {
    LogPane* logPane;
    StatusPanel* status;
    QAction* execute;
    QAction* stop;
  };
  explicit WindowRunHost(Controls controls);

  // The state the window publishes: the folder before a run starts, the settings whenever the
  // settings dialog changes them. A change during a run counts from the next page taken.
  void PublishFolder(std::string folder);
  void PublishSettings(std::string outputFolder, const std::array<bool, kProcedureCount>& switches,
                       LogForm logForm, std::optional<std::uint64_t> maxPageSize = {});
  // The banner slots were saved: pages cleaned ahead with the old ones are cleaned again.
  void BannersChanged();
  std::string PublishedOutputFolder() const;
  bool PublishedSwitch(ProcedureId which) const;

  // From the window's thread: a run is about to start, with no stop asked for yet.
  void RunStarting();
  // From the window's thread: the run ends at its next pump.
  void RequestStop() { stopAsked_ = true; }
  // Called on the run's thread once log.txt is saved.
  void SetLogSavedHandler(std::function<void()> handler) { logSaved_ = std::move(handler); }
  // Called on the run's thread at every pump (tests hold the run there).
  void SetPumpHook(std::function<void()> hook) { pumpHook_ = std::move(hook); }
  // How often at most the status bar shows what the run reports; 0 shows every report, in
  // order with the rest.
  void SetStatusInterval(int milliseconds);

  // Where the last run saved log.txt; empty until one has. Read once the run has ended.
  const std::string& LogPath() const { return logPath_; }

  // What the run calls, on its own thread. Poll, between the run's steps, says whether Stop
  // was asked for since (the run stops there, on its own thread).
  bool Poll();
  std::string FolderText() override;
  std::string OutputFolder() override { return PublishedOutputFolder(); }
  bool SwitchOn(ProcedureId which) override { return PublishedSwitch(which); }
  std::uint64_t SettingsGeneration() override;
  LogEncoding LogFileEncoding() override;
  Language LogLanguage() override;
  Language InterfaceLanguage() override { return interfaceLanguage_; }
  // The language of the lines the log pane holds.
  Language ShownLogLanguage() const { return runLogLanguage_.load(); }
  std::optional<std::uint64_t> MaxPageBytes() override;
  void SetStatus(const std::string& text) override;
  void RunStarted() override;
  void AppendLog(std::string_view line) override;
  void Notice(const RunNotice& notice) override;
  void PageChanges(std::string_view page, std::size_t first,
                   std::span<const LoggedChange> changes) override;
  void PagesDone(std::size_t done, std::size_t total) override;
  void RunEnded(const RunEnd& end) override;

 private:
  // Runs `work` on the window's thread, after what was handed over before it.
  void OnWindowThread(std::function<void()> work);
  // The status and the progress come several times a page: the window shows the latest, a few
  // times a second.
  void QueueStatusShown();
  void ShowStatus();

  Controls controls_;
  std::atomic<bool> stopAsked_{false};
  std::function<void()> pumpHook_;
  std::function<void()> logSaved_;

  mutable std::mutex mutex_;  // guards the published state below
  std::string folder_;
  std::string outputFolder_;
  std::array<bool, kProcedureCount> switches_{};
  LogForm logForm_;
  std::optional<std::uint64_t> maxPageSize_;
  std::uint64_t generation_ = 0;

  std::mutex statusMutex_;  // guards the status and progress below, until shown
  std::string status_;
  bool statusChanged_ = false;
  std::size_t done_ = 0;
  std::size_t total_ = 0;
  bool progressChanged_ = false;
  std::atomic<bool> statusQueued_{false};
  QTimer* statusTimer_;  // on the window's thread

  std::string logPath_;    // written on the run's thread
  std::string converted_;  // the run thread's scratch for a line shown as text
  std::string text_;       // the run thread's scratch for a change's text
  // The language of the lines the log pane holds, the last run's: set by the run thread as a
  // run begins, read by the window's.
  std::atomic<Language> runLogLanguage_ = Language::kRussian;
  // The windows' language, fixed for the program's life (its catalog is installed at start).
  const Language interfaceLanguage_ = ::varnow::InterfaceLanguage();
};

}  // namespace varnow
