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
class TFormAbout;
class TFormOpt;

// The main window: the folder field with its three tool buttons, the menu, the log pane and
// the status bar. It hosts the batch run: the run reads the folder field, the settings
// dialog's check boxes and output folder through it, and reports into the log pane, the
// status bar and the two buttons.
class TFormMain : public QMainWindow, public RunHost {
  Q_OBJECT

 public:
  TFormMain(std::filesystem::path settingsFile, UserMessages messages, QWidget* parent = nullptr);
  ~TFormMain() override;

  // The windows its actions show; they are created after this one.
  void UseForms(TFormAbout* about, TFormOpt* options);
  void SetFolderPicker(FolderPicker picker) { pickFolder_ = std::move(picker); }
  // How often at most the run's pump reaches the event loop; 0 lets every pump through.
  void SetPumpInterval(qint64 milliseconds) { pumpIntervalMs_ = milliseconds; }

  const BatchRun& Run() const { return run_; }

  // Opens the change viewer on the change a log line reports; other lines open nothing.
  void OpenChangeAt(std::size_t line);

  // What the run asks of its host.
  void Pump() override;
  std::string FolderText() override;
  std::string StoreDir() override;
  bool SwitchOn(Switch which) override;
  void SetStatus(const std::string& text) override;
  void ClearLog() override;
  void AppendLog(std::string_view line) override;
  void SetButtons(bool executeEnabled, bool stopEnabled) override;
  void Progress(std::size_t done, std::size_t total) override;
  void RunEnded() override;

 public slots:
  void aExecuteExecute();
  void aStopExecute();
  void aSelectDirExecute();
  void aSettingsExecute();
  void aAboutExecute();
  void aExitExecute();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildActions();
  void BuildControls();
  void FormCreate();
  void FitToScreen();
  // One run; false when it ended with an error (already shown).
  bool RunOnce();

  std::filesystem::path settingsFile_;  // where the banner slots are read for the change viewer
  UserMessages messages_;
  FolderPicker pickFolder_;
  QString pickerPath_;  // where the folder picker opens: the last folder chosen with it

  TFormAbout* formAbout_ = nullptr;
  TFormOpt* formOpt_ = nullptr;

  QAction* aSettings_ = nullptr;
  QAction* aExit_ = nullptr;
  QAction* aAbout_ = nullptr;
  QAction* aExecute_ = nullptr;
  QAction* aSelectDir_ = nullptr;
  QAction* aStop_ = nullptr;
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
