// SPDX-License-Identifier: MIT
#pragma once

#include <QMainWindow>
#include <QThreadPool>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "ChangeViewer.h"
#include "ErrorBox.h"
#include "FolderPicker.h"
#include "WindowRunHost.h"
#include "batch/BatchRun.h"
#include "run/RunController.h"

class QAction;
class QCheckBox;
class QUrl;
class QLineEdit;
class QSplitter;
class QStringListModel;
class QToolButton;

namespace varnow {

class LogPane;
class StatusPanel;
class AboutBox;
class SettingsDialog;
class SummaryPanel;
class WindowState;

// The main window: the folder field with its three tool buttons, the menu, the log pane and
// the status bar. It runs the batch on a thread of its own, on every core, through its run
// host, publishing to it the folder, the output folder and the switches, and keeps the run's
// state; the window answers at once whatever the run does, dialogs included.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(std::filesystem::path settingsFile, UserMessages messages, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The windows its actions show; they are created after this one.
  void UseDialogs(AboutBox* about, SettingsDialog* options);
  void SetFolderPicker(FolderPicker picker) { pickFolder_ = std::move(picker); }
  // Pages cleaned at once (every core by default).
  void SetJobs(std::size_t jobs) { run_->SetJobs(jobs); }
  // Called on the run's thread at every pump of a run (tests hold the run there). Set it only
  // while no run goes on.
  void SetPumpHook(std::function<void()> hook) { host_->SetPumpHook(std::move(hook)); }
  // How often at most the status bar shows the run's status and progress; 0 shows every
  // report (as tests look at them).
  void SetStatusInterval(int milliseconds) { host_->SetStatusInterval(milliseconds); }
  // How the program ends at once, its settings written, when the window was closed during a
  // run that saved log.txt but still waits for pages in the middle of a procedure (the
  // program's own end; without one the window waits for the run to end).
  void SetQuickExit(std::function<void()> quickExit) { quickExit_ = std::move(quickExit); }
  // Whether a run goes on, or is ending.
  bool Running() const { return controller_.Running(); }

  // The run; while it goes on, only its own thread may look at it.
  const BatchRun& Run() const { return *run_; }

  // The folder to clean, as the folder field shows it.
  void SetFolder(const QString& folder);
  // Where the window keeps its size and place and the folders cleaned, from one start to the
  // next; restores them now. Without one it remembers nothing (as in tests).
  void UseState(WindowState* state);
  // Writes to its state what it keeps of itself at its end (its size and place).
  void SaveState();
  // How a folder or a file is opened with the desktop's own handler (tests watch it); false
  // when no program is set to open it.
  using UrlOpener = std::function<bool(const QUrl&)>;
  void SetUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }

  // Opens the change viewer on the change a log line reports; other lines open nothing.
  void OpenChangeAt(std::size_t line);
  // Opens the change viewer on a page of the last run, at its first change.
  void OpenPage(const std::string& page);
  // The summary beside the log: hidden until a run has ended, and while the user keeps it so.
  SummaryPanel* Summary() const { return summaryPanel_; }
  // Pages being prepared for the change viewer, not yet shown.
  int ViewersPreparing() const { return viewersPreparing_; }

 public slots:
  void StartRun();
  // "Проверить": the whole run, its log and summary, with nothing written.
  void StartCheck();
  void StopRun();
  void ChooseFolder();
  void OpenSettings();
  void ShowAbout();
  void CloseWindow();
  // "Сводка": shows or hides what the last run did, beside the log.
  void ToggleSummary();
  // The output folder where the last run wrote, and its log.txt, with the desktop's handler.
  void OpenResults();
  void OpenLog();
  // The banner slots were saved: a run counts them from the next page it takes.
  void BannersChanged();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // A folder, or a page (its folder is taken), dropped anywhere on the window fills the folder
  // field with its local path.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildActions();
  void BuildControls();
  void ShowTitle();
  void FitToScreen();
  // Execute or Check pressed: starts that run where it can, or once the one ending is over.
  void AskForRun(bool dryRun);
  // Starts one run on the run's thread.
  void BeginRun();
  // The run's thread has ended its run, as `end` says.
  void RunFinished(const RunEnd& end);
  // The end of a run that led to no further run or close.
  void RunOver(const RunEnd& end);
  // The run has saved log.txt: a close asked for meanwhile need wait for nothing more.
  void LogSaved();
  // Gives the run host the settings dialog's output folder and switches as they are now.
  void PublishSettings();
  // The summary panel shown or hidden, as the user last left it.
  void ShowSummaryPanel(bool shown);
  // The change viewer on `request`, with the switches and banner slots of this moment; the
  // page is prepared on another thread and shown by ShowViewer (or the error that kept it).
  void OpenViewer(const ReviewRequest& request);
  void ShowViewer(std::optional<PageReview> prepared, const QString& error);
  // Opens `path` with the desktop's handler, or tells the user that none is set.
  void OpenWithDesktop(const QString& path, bool folder);
  // Tells the user a copy from the log pane held only the first lines of the selection.
  void CopyWasLimited(std::size_t copied, std::size_t selected);

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
  QAction* checkAction_ = nullptr;
  QCheckBox* changedOnlyBox_ = nullptr;  // beside the folder field; kept in the state file
  bool nextRunDry_ = false;              // the run asked for last is a check
  QAction* chooseFolderAction_ = nullptr;
  QAction* stopAction_ = nullptr;
  QAction* summaryAction_ = nullptr;
  QAction* openResultsAction_ = nullptr;
  QAction* openLogAction_ = nullptr;
  UrlOpener openUrl_;
  std::function<void()> quickExit_;
  SummaryPanel* summaryPanel_ = nullptr;
  QSplitter* logAndSummary_ = nullptr;  // the log pane, and the summary to its right
  bool summaryWanted_ = true;           // the user has not hidden the summary
  QString runFolder_;                   // the folder of the run going on, or of the last
  QLineEdit* folderField_ = nullptr;
  QStringListModel* recentFolders_ = nullptr;  // offered as the folder field is typed in
  WindowState* windowState_ = nullptr;
  LogPane* logPane_ = nullptr;
  StatusPanel* statusPanel_ = nullptr;

  // Where the window's run stands. Execute in kIdle starts a run (kRunning); Stop makes it
  // kStopping, Execute then kStoppingThenRun (the new run starts once the old has ended), Stop
  // again kStopping; closing the window during a run makes it kStoppingThenClose (closed once
  // the run has ended at a page boundary, log.txt saved). The end of a run goes back to kIdle, or
  // on to the next run or the close that was asked for; after an error the window waits, idle,
  // unless it is being closed.
  // Tells the run's state what happened; the Execute and Stop buttons follow it.
  RunAction On(RunEvent event);
  RunController controller_;

  // Last: built after, and gone before, the controls they report to.
  std::unique_ptr<WindowRunHost> host_;
  std::unique_ptr<BatchRun> run_;
  std::thread runThread_;   // the run's, while one goes on
  QThreadPool viewerPool_;  // where pages are prepared for the change viewer
  int viewersPreparing_ = 0;
};

}  // namespace varnow
