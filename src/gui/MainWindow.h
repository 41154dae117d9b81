#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <filesystem>
#include <string>

#include "ErrorBox.h"
#include "FolderPicker.h"
#include "batch/BatchRun.h"
#include "batch/RunHost.h"

class QAction;
class QLineEdit;
class QToolButton;

namespace varnow {

class LogPane;
class StatusPanel;
class AboutBox;
class SettingsDialog;

// The main window: the folder field with its three tool buttons, the menu, the log pane and
// the status bar. It hosts the batch run: the run reads the folder field, the settings
// dialog's check boxes and output folder through it, and reports into the log pane, the
// status bar and the two buttons.
class MainWindow : public QMainWindow, public RunHost {
  Q_OBJECT

 public:
  MainWindow(std::filesystem::path settingsFile, UserMessages messages, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The windows its actions show; they are created after this one.
  void UseDialogs(AboutBox* about, SettingsDialog* options);
  void SetFolderPicker(FolderPicker picker) { pickFolder_ = std::move(picker); }
  // How often at most the run's pump reaches the event loop; 0 lets every pump through.
  void SetPumpInterval(qint64 milliseconds) { pumpIntervalMs_ = milliseconds; }

  const BatchRun& Run() const { return run_; }

  // Opens the change viewer on the change a log line reports; other lines open nothing.
  void OpenChangeAt(std::size_t line);

  // What the run asks of its host.
  void Pump() override;
  std::string FolderText() override;
  std::string OutputFolder() override;
  bool SwitchOn(Switch which) override;
  void SetStatus(const std::string& text) override;
  void ClearLog() override;
  void AppendLog(std::string_view line) override;
  void AppendChanges(std::string_view page, std::string_view lines,
                     const std::vector<std::size_t>& ends) override;
  void SetButtons(bool executeEnabled, bool stopEnabled) override;
  void Progress(std::size_t done, std::size_t total) override;
  void RunEnded() override;

 public slots:
  void StartRun();
  void StopRun();
  void ChooseFolder();
  void OpenSettings();
  void ShowAbout();
  void CloseWindow();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildActions();
  void BuildControls();
  void ShowTitle();
  void FitToScreen();
  // One run; false when it ended with an error (already shown).
  bool RunOnce();

  std::filesystem::path settingsFile_;  // where the banner slots are read for the change viewer
  UserMessages messages_;
  FolderPicker pickFolder_;
  QString pickerPath_;  // where the folder picker opens: the last folder chosen with it

  AboutBox* aboutBox_ = nullptr;
  SettingsDialog* settingsDialog_ = nullptr;

  QAction* settingsAction_ = nullptr;
  QAction* exitAction_ = nullptr;
  QAction* aboutAction_ = nullptr;
  QAction* executeAction_ = nullptr;
  QAction* chooseFolderAction_ = nullptr;
  QAction* stopAction_ = nullptr;
  QLineEdit* folderField_ = nullptr;
  LogPane* logPane_ = nullptr;
  StatusPanel* statusPanel_ = nullptr;

  QElapsedTimer sinceLastPump_;
  qint64 pumpIntervalMs_;
  bool executePending_ = false;  // Execute was pressed while a stopped run was still ending
  bool closePending_ = false;    // the window was closed during a run

  BatchRun run_;  // last: built after, and gone before, everything it asks of this host
};

}  // namespace varnow
