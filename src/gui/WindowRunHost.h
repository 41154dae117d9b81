// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "batch/RunHost.h"
#include "cleaning/Switch.h"

class QAction;

namespace varnow {

class LogPane;
class StatusPanel;

// The batch run's host in the window, the twin of the command line's TerminalHost. What the
// run asks for (the folder, the output folder, the switches) is what the window published last,
// never a widget read while the run pumps; what the run reports goes to the log pane, the
// status bar and the Execute and Stop actions.
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

  // The state the window publishes: the folder when a run starts, the settings whenever the
  // settings dialog changes them.
  void PublishFolder(std::string folder) { folder_ = std::move(folder); }
  void PublishSettings(std::string outputFolder, const std::array<bool, kSwitchCount>& switches,
                       LogEncoding logEncoding);
  const std::string& PublishedOutputFolder() const { return outputFolder_; }
  bool PublishedSwitch(Switch which) const { return switches_[Index(which)]; }

  // How often at most the run's pump reaches the event loop; 0 lets every pump through.
  void SetPumpInterval(qint64 milliseconds) { pumpIntervalMs_ = milliseconds; }
  // A run begins: its first pump reaches the event loop.
  void RunStarting() { sinceLastPump_.invalidate(); }

  void Pump() override;
  std::string FolderText() override { return folder_; }
  std::string OutputFolder() override { return outputFolder_; }
  bool SwitchOn(Switch which) override { return switches_[Index(which)]; }
  LogEncoding LogFileEncoding() override { return logEncoding_; }
  void SetStatus(const std::string& text) override;
  void ClearLog() override;
  void AppendLog(std::string_view line) override;
  void AppendNotice(Notice kind, std::string_view page, std::string_view line) override;
  // Where the last run saved log.txt; empty until one has.
  const std::string& LogPath() const { return logPath_; }
  void AppendChanges(std::string_view page, std::size_t first, std::string_view lines,
                     const std::vector<std::size_t>& ends,
                     const std::vector<ChangeFacts>& facts) override;
  void SetButtons(bool executeEnabled, bool stopEnabled) override;
  void Progress(std::size_t done, std::size_t total) override;
  void RunEnded() override;

 private:
  Controls controls_;
  std::string folder_;
  std::string outputFolder_;
  std::array<bool, kSwitchCount> switches_{};
  LogEncoding logEncoding_ = LogEncoding::kCp1251;
  std::string logPath_;
  QElapsedTimer sinceLastPump_;
  qint64 pumpIntervalMs_;
};

}  // namespace varnow
