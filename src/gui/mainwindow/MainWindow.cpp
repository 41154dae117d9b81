// SPDX-License-Identifier: MIT
#include "MainWindow.h"

#include "InterfaceLanguage.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCompleter>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStringListModel>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <exception>
#include <new>
#include <optional>
#include <system_error>

#include "AboutBox.h"
#include "ApplicationTitle.h"
#include "ChangeViewer.h"
#include "Icons.h"
#include "LogPane.h"
#include "ScreenFit.h"
#include "SettingsDialog.h"
#include "StatusPanel.h"
#include "SummaryPanel.h"
#include "Version.h"
#include "WindowState.h"
#include "batch/RunTexts.h"
#include "discovery/CollectFiles.h"
#include "paths/SplitPath.h"
#include "settings/CachedIniFile.h"
#include "settings/Settings.h"
#include "text/Cp1251.h"
#include "text/Format.h"

namespace varnow {
namespace {

const QSize kClientSize(717, 476);

// The greeting in the log pane, before the first run.
const char* const kIntroLines[] = {
    QT_TRANSLATE_NOOP("varnow::MainWindow",
                      "Программа Varnow предназначена для очистки *.htm и *.html файлов."),
    "",
    QT_TRANSLATE_NOOP("varnow::MainWindow",
                      "Иногда тэги <script></script> и <noscript></noscript> служат для "
                      "организации меню. Поэтому если вы обработайте такой"),
    QT_TRANSLATE_NOOP("varnow::MainWindow", "документ, то все испортите. "),
};

}  // namespace

MainWindow::MainWindow(std::filesystem::path settingsFile, UserMessages messages, QWidget* parent)
    : QMainWindow(parent),
      settingsFile_(settingsFile),
      messages_(std::move(messages)),
      pickFolder_(PickFolderWithDialog),
      pickerPath_(QDir::toNativeSeparators(QDir::homePath())),
      openUrl_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
  setObjectName(QStringLiteral("mainWindow"));
  setAcceptDrops(true);
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  BuildActions();
  BuildControls();
  FitToScreen();
  ShowTitle();
  host_ = std::make_unique<WindowRunHost>(
      WindowRunHost::Controls{logPane_, statusPanel_, executeAction_, stopAction_});
  run_ = std::make_unique<BatchRun>(*host_, std::move(settingsFile),
                                    [host = host_.get()] { return host->Poll(); });
  host_->SetLogSavedHandler(
      [this] { QMetaObject::invokeMethod(this, &MainWindow::LogSaved, Qt::QueuedConnection); });
  run_->SetJobs(std::max(1U, std::thread::hardware_concurrency()));
  connect(logPane_, &LogPane::copyLimited, this, &MainWindow::CopyWasLimited);
}

MainWindow::~MainWindow() {
  viewerPool_.waitForDone();  // a page being prepared for the viewer: shown to nobody
  for (; viewersPreparing_ > 0; --viewersPreparing_) {
    QApplication::restoreOverrideCursor();
  }
  SaveState();
  if (runThread_.joinable()) {
    // Gone with a run still going (the program is ending): it ends at its next pump.
    host_->RequestStop();
    runThread_.join();
  }
  run_.reset();  // before the host it reports to
}

void MainWindow::SaveState() {
  if (windowState_ != nullptr) {
    windowState_->SetGeometry(saveGeometry());  // its size and place, for the next start
    if (summaryPanel_->isVisible()) {
      windowState_->SetSummarySplit(logAndSummary_->saveState());
    }
  }
}

void MainWindow::UseDialogs(AboutBox* about, SettingsDialog* options) {
  aboutBox_ = about;
  settingsDialog_ = options;
  connect(options, &SettingsDialog::changed, this, &MainWindow::PublishSettings);
  PublishSettings();
}

void MainWindow::BuildActions() {
  const auto action = [this](const char* name, const QString& caption, IconRole image,
                             void (MainWindow::*handler)()) {
    auto* a = new QAction(RoleIcon(image, style()), caption, this);
    a->setObjectName(QString::fromLatin1(name));
    connect(a, &QAction::triggered, this, handler);
    return a;
  };
  // Every action can be reached from the keyboard: Alt and the underlined letter, or its keys.
  settingsAction_ =
      action("settingsAction", tr("&Настройки"), IconRole::kSettings, &MainWindow::OpenSettings);
  settingsAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
  exitAction_ = action("exitAction", tr("В&ыход"), IconRole::kStop, &MainWindow::CloseWindow);
  exitAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));  // a run ends first, as on close
  aboutAction_ =
      action("aboutAction", tr("&О программе..."), IconRole::kAbout, &MainWindow::ShowAbout);
  aboutAction_->setShortcut(QKeySequence(Qt::Key_F1));
  summaryAction_ = new QAction(tr("&Сводка"), this);
  summaryAction_->setObjectName(QStringLiteral("summaryAction"));
  summaryAction_->setCheckable(true);
  summaryAction_->setEnabled(false);  // until a run has ended
  connect(summaryAction_, &QAction::triggered, this, &MainWindow::ToggleSummary);
  openResultsAction_ = new QAction(tr("Открыть &папку результатов"), this);
  openResultsAction_->setObjectName(QStringLiteral("openResultsAction"));
  openResultsAction_->setEnabled(false);  // until a run has saved its log
  connect(openResultsAction_, &QAction::triggered, this, &MainWindow::OpenResults);
  openLogAction_ = new QAction(tr("Открыть &log.txt"), this);
  openLogAction_->setObjectName(QStringLiteral("openLogAction"));
  openLogAction_->setEnabled(false);
  connect(openLogAction_, &QAction::triggered, this, &MainWindow::OpenLog);
  // The three tool buttons show only their images; the tips name what they do, and the keys.
  executeAction_ = action("executeAction", QString(), IconRole::kExecute, &MainWindow::StartRun);
  executeAction_->setShortcut(QKeySequence(Qt::Key_F5));
  executeAction_->setToolTip(tr("Выполнить (F5)"));
  checkAction_ = new QAction(tr("Проверить"), this);
  checkAction_->setObjectName(QStringLiteral("checkAction"));
  checkAction_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
  checkAction_->setToolTip(tr("Проверить: весь запуск, ничего не записывая (Shift+F5)"));
  connect(checkAction_, &QAction::triggered, this, &MainWindow::StartCheck);
  chooseFolderAction_ =
      action("chooseFolderAction", QString(), IconRole::kChooseFolder, &MainWindow::ChooseFolder);
  chooseFolderAction_->setToolTip(tr("Выбрать папку"));
  stopAction_ = action("stopAction", QString(), IconRole::kStop, &MainWindow::StopRun);
  stopAction_->setShortcuts(
      {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_Period)});
  stopAction_->setToolTip(tr("Остановить (Esc, Ctrl+.)"));
  stopAction_->setEnabled(false);
}

void MainWindow::BuildControls() {
  QMenuBar* menu = menuBar();
  menu->setObjectName(QStringLiteral("menuBar"));
  QMenu* file = menu->addMenu(tr("&Файл"));
  file->addAction(settingsAction_);
  file->addAction(summaryAction_);
  file->addAction(openResultsAction_);
  file->addAction(openLogAction_);
  file->addSeparator();
  file->addAction(exitAction_);
  QMenu* help = menu->addMenu(QStringLiteral("&?"));
  help->addAction(aboutAction_);

  auto* toolBar = new QToolBar(this);
  toolBar->setObjectName(QStringLiteral("toolBar"));
  toolBar->setMovable(false);
  toolBar->setFloatable(false);
  toolBar->setIconSize(QSize(16, 16));
  toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  toolBar->toggleViewAction()->setVisible(false);
  setContextMenuPolicy(Qt::NoContextMenu);  // no menu to hide the tool bar
  folderField_ = new QLineEdit(QDir::toNativeSeparators(QDir::homePath()), toolBar);
  folderField_->setObjectName(QStringLiteral("folderField"));
  // A drop on the field is the window's: the field would paste the URL as text into itself.
  folderField_->setAcceptDrops(false);
  // The folders cleaned recently are offered as the field is typed in.
  recentFolders_ = new QStringListModel(this);
  auto* completer = new QCompleter(recentFolders_, folderField_);
  completer->setCaseSensitivity(Qt::CaseSensitive);
  folderField_->setCompleter(completer);
  folderField_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  // Enter in the folder field starts a run, as Execute does.
  connect(folderField_, &QLineEdit::returnPressed, executeAction_, &QAction::trigger);
  toolBar->addWidget(folderField_);
  changedOnlyBox_ = new QCheckBox(tr("Только измененные"), toolBar);
  changedOnlyBox_->setObjectName(QStringLiteral("changedOnlyBox"));
  changedOnlyBox_->setToolTip(
      tr("Очищать только страницы, которые изменились с прошлого запуска (их исходный файл, "
         "настройки или копия); остальные записываются в лог как неизмененные"));
  connect(changedOnlyBox_, &QCheckBox::toggled, this, [this](bool on) {
    if (windowState_ != nullptr) {
      windowState_->SetChangedOnly(on);
    }
  });
  toolBar->addWidget(changedOnlyBox_);
  // Ctrl+L and F6 go to the folder field with its text selected, as a browser's address bar.
  auto* toFolderField = new QAction(this);
  toFolderField->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::Key_F6)});
  toFolderField->setShortcutContext(Qt::WindowShortcut);
  connect(toFolderField, &QAction::triggered, this, [this] {
    folderField_->setFocus(Qt::ShortcutFocusReason);
    folderField_->selectAll();
  });
  addAction(toFolderField);
  const std::pair<QAction*, QString> buttons[] = {
      {chooseFolderAction_, QStringLiteral("chooseFolderButton")},
      {executeAction_, QStringLiteral("executeButton")},
      {checkAction_, QStringLiteral("checkButton")},
      {stopAction_, QStringLiteral("stopButton")},
  };
  for (const auto& [a, name] : buttons) {
    toolBar->addAction(a);
    QWidget* button = toolBar->widgetForAction(a);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::TabFocus);  // reachable with Tab after the folder field
  }
  addToolBar(Qt::TopToolBarArea, toolBar);

  // The summary stands to the right of the log, behind a splitter: it never covers the log.
  logAndSummary_ = new QSplitter(Qt::Horizontal, this);
  logAndSummary_->setObjectName(QStringLiteral("logAndSummary"));
  logAndSummary_->setChildrenCollapsible(false);
  logPane_ = new LogPane(logAndSummary_);
  logPane_->setObjectName(QStringLiteral("logPane"));
  connect(logPane_, &LogPane::lineActivated, this, &MainWindow::OpenChangeAt);
  summaryPanel_ = new SummaryPanel(logAndSummary_);
  summaryPanel_->hide();  // until a run has ended
  connect(summaryPanel_, &SummaryPanel::pageChosen, this, &MainWindow::OpenPage);
  connect(summaryPanel_, &SummaryPanel::hideAsked, this, [this] {
    summaryWanted_ = false;
    ShowSummaryPanel(false);
  });
  logAndSummary_->addWidget(logPane_);
  logAndSummary_->addWidget(summaryPanel_);
  logAndSummary_->setStretchFactor(0, 1);
  logAndSummary_->setStretchFactor(1, 0);
  setCentralWidget(logAndSummary_);

  statusPanel_ = new StatusPanel(this);
  statusPanel_->setObjectName(QStringLiteral("statusPanel"));
  setStatusBar(statusPanel_);
  statusPanel_->SetText(tr("Готово"));

  for (const char* line : kIntroLines) {
    logPane_->AppendLine(*line == '\0' ? std::string() : tr(line).toStdString());
  }
  logPane_->Flush();
  logPane_->SetWrapped(true);  // the greeting wraps at the window's width, until the first run
}

void MainWindow::FitToScreen() {
  // The designed size, unless the screen cannot hold it (a small screen, a large scale
  // factor): then as much of it as the screen holds. Either way centred, never off-screen.
  const QSize size = FittedToScreen(this, kClientSize);
  QRect desktop(QPoint(0, 0), kClientSize);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    desktop = screen->availableGeometry();
  }
  // The designed size is the smallest too; the log pane takes what the window grows by.
  setMinimumSize(size);
  resize(size);
  move(desktop.center() - QPoint(size.width() / 2, size.height() / 2));
}

void MainWindow::UseState(WindowState* state) {
  windowState_ = state;
  if (state == nullptr) {
    return;
  }
  if (const QByteArray geometry = state->Geometry(); !geometry.isEmpty()) {
    restoreGeometry(geometry);  // size, place and maximised state, kept on the screen
  }
  summaryWanted_ = state->SummaryShown();
  {
    const QSignalBlocker quiet(changedOnlyBox_);  // read back, not written again
    changedOnlyBox_->setChecked(state->ChangedOnly());
  }
  if (const QByteArray split = state->SummarySplit(); !split.isEmpty()) {
    logAndSummary_->restoreState(split);
    summaryPanel_->hide();  // until a run has ended, whatever the split kept
  }
  const QStringList recent = state->RecentFolders();
  recentFolders_->setStringList(recent);
  if (!recent.isEmpty() && QFileInfo(recent.front()).isDir()) {
    folderField_->setText(recent.front());
  }
}

void MainWindow::ShowTitle() {
  const QString title = QString::fromUtf8(version::kTitle);
  SetApplicationTitle(title);
  setWindowTitle(title);
}

// ---- actions ----

void MainWindow::StartRun() {
  AskForRun(false);
}

void MainWindow::StartCheck() {
  AskForRun(true);
}

void MainWindow::AskForRun(bool dryRun) {
  if (controller_.ExecuteEnabled()) {
    nextRunDry_ = dryRun;  // the run that starts now, or once the one ending is over
  }
  if (On(RunEvent::kExecutePressed) != RunAction::kStart) {
    return;  // none now: one is going, or is to follow the one ending
  }
  if (host_->PublishedOutputFolder().empty()) {
    // The first run, with no output folder yet: the way out is offered with the message, and
    // nothing of the window (the intro text) is touched.
    if (messages_.offer(this, InInterfaceLanguage(kErrors[Index(ErrorId::kNoOutputFolder)].shown),
                        tr("Настройки..."))) {
      OpenSettings();
    }
    return;
  }
  BeginRun();
}

void MainWindow::RunFinished(const RunEnd& end) {
  if (runThread_.joinable()) {
    runThread_.join();
  }
  if (end.how == RunEnd::How::kFailed) {
    const QString error = QString::fromStdString(end.shownError);
    logPane_->Flush();
    statusPanel_->HideProgress();
    // The status names what ended the run, its first line (the box says the rest).
    statusPanel_->SetText(error.section(QLatin1Char('\n'), 0, 0));
    // The run is over before its error is shown: a close while the box stands (the close box,
    // a stop signal) closes the window at once instead of waiting for a run that has ended.
    const RunAction next = On(RunEvent::kFailed);
    RunOver(end);  // the summary says how the run ended before the box stands over it
    messages_.error(this, error);
    if (next == RunAction::kClose) {
      close();
    }
    return;
  }
  switch (On(RunEvent::kEnded)) {
    case RunAction::kStart:
      BeginRun();  // Execute was pressed while the stopped run ended
      return;
    case RunAction::kClose:
      close();
      return;
    default:
      RunOver(end);
  }
}

void MainWindow::LogSaved() {
  if (controller_.State() != RunState::kStoppingThenClose || !quickExit_) {
    return;
  }
  // The run ends as soon as its workers have dropped their pages, which they do at their next
  // change; a page in the middle of a long procedure is not waited for past this.
  constexpr int kGraceMs = 150;
  QTimer::singleShot(kGraceMs, this, [this] {
    if (controller_.State() == RunState::kStoppingThenClose) {
      quickExit_();
    }
  });
}

void MainWindow::RunOver(const RunEnd& end) {
  // Only a folder that was cleaned is offered again: not one that could not be searched.
  if (windowState_ != nullptr && !runFolder_.isEmpty() && end.summary.pagesFound > 0) {
    windowState_->AddFolder(runFolder_);
    recentFolders_->setStringList(windowState_->RecentFolders());
  }
  // What the run did, at a glance, however it ended; a run that found no page (a folder that
  // is not there) has nothing to show.
  openResultsAction_->setEnabled(!host_->LogPath().empty());
  openLogAction_->setEnabled(!host_->LogPath().empty());
  if (end.summary.pagesFound == 0) {
    if (!summaryAction_->isEnabled()) {
      return;  // no run has had a summary yet
    }
    summaryPanel_->SetEnd(end);  // the panel never shows an older run's figures as this one's
    return;
  }
  summaryAction_->setEnabled(true);
  summaryPanel_->SetEnd(end);
  ShowSummaryPanel(summaryWanted_);
}

void MainWindow::OpenResults() {
  // log.txt lies in the output folder's mirror of the folder that was cleaned.
  const QFileInfo log(QString::fromStdString(host_->LogPath()));
  OpenWithDesktop(log.absolutePath(), true);
}

void MainWindow::OpenLog() {
  OpenWithDesktop(QString::fromStdString(host_->LogPath()), false);
}

void MainWindow::OpenWithDesktop(const QString& path, bool folder) {
  if (openUrl_(QUrl::fromLocalFile(path))) {
    return;
  }
  // No handler on the machine (no xdg-open, no desktop): the path, to be copied from the box.
  messages_.error(this, (folder ? tr("Не задана программа, чтобы открыть папку: ")
                                : tr("Не задана программа, чтобы открыть файл: ")) +
                            QDir::toNativeSeparators(path));
}

namespace {

// The folder a drop names: the first local folder or page among its URLs, a page's own folder.
// `refused` gets the first local file that is neither.
std::optional<QString> DroppedFolder(const QMimeData* data, QString* refused = nullptr) {
  if (data == nullptr || !data->hasUrls()) {
    return std::nullopt;
  }
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) {
      continue;
    }
    const QFileInfo dropped(url.toLocalFile());
    if (dropped.isDir()) {
      return QDir::toNativeSeparators(dropped.absoluteFilePath());
    }
    if (HasPageExtension(QFile::encodeName(dropped.fileName()).toStdString())) {  // as a run finds
      return QDir::toNativeSeparators(dropped.absolutePath());
    }
    if (refused != nullptr && refused->isEmpty()) {
      *refused = dropped.fileName();
    }
  }
  return std::nullopt;
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  QString refused;
  if (DroppedFolder(event->mimeData(), &refused)) {
    event->acceptProposedAction();
  } else if (!refused.isEmpty()) {
    statusPanel_->ShowNote(tr("Сюда перетаскивают папку или страницу *.htm, *.html, а не ") +
                           refused);
  }
}

void MainWindow::dropEvent(QDropEvent* event) {
  if (const std::optional<QString> folder = DroppedFolder(event->mimeData())) {
    folderField_->setText(*folder);
    event->acceptProposedAction();
  }
}

void MainWindow::SetFolder(const QString& folder) {
  folderField_->setText(folder);
}

void MainWindow::ToggleSummary() {
  summaryWanted_ = !summaryPanel_->isVisible();
  ShowSummaryPanel(summaryWanted_);
  if (summaryWanted_) {
    summaryPanel_->TopPages()->setFocus(Qt::ShortcutFocusReason);  // asked for: the keyboard
  }
}

void MainWindow::ShowSummaryPanel(bool shown) {
  if (summaryPanel_->isVisible() == shown) {
    summaryAction_->setChecked(shown);
    return;
  }
  if (!shown && windowState_ != nullptr) {
    windowState_->SetSummarySplit(logAndSummary_->saveState());
  }
  summaryPanel_->setVisible(shown);
  summaryAction_->setChecked(shown);
  const QByteArray split = windowState_ != nullptr ? windowState_->SummarySplit() : QByteArray();
  if (shown && split.isEmpty()) {
    // The first time: the panel at its own width, the log keeping the rest.
    const int total = logAndSummary_->width();
    const int panel = std::min(summaryPanel_->sizeHint().width(), total / 2);
    logAndSummary_->setSizes({total - panel, panel});
  } else if (shown) {
    logAndSummary_->restoreState(split);  // as the user last left it
  }
  if (windowState_ != nullptr) {
    windowState_->SetSummaryShown(summaryWanted_);
  }
}

void MainWindow::BeginRun() {
  On(RunEvent::kStarted);
  // "~" is the home folder, as in a shell.
  const QString typed = folderField_->text();
  if (typed == QStringLiteral("~") || typed.startsWith(QStringLiteral("~/"))) {
    folderField_->setText(QDir::toNativeSeparators(QDir::homePath() + typed.mid(1)));
  }
  runFolder_ = folderField_->text();
  RunScope scope;
  scope.changedOnly = changedOnlyBox_->isChecked();
  scope.dryRun = nextRunDry_;
  run_->SetScope(std::move(scope));
  host_->PublishFolder(folderField_->text().toStdString());
  host_->RunStarting();
  summaryPanel_->SetRunning();  // the last run's figures are not this one's
  logPane_->SetWrapped(false);  // a run's lines are never wrapped: one row each
  const auto run = [this] {
    auto end = std::make_shared<RunEnd>(run_->Execute());
    QMetaObject::invokeMethod(
        this, [this, end] { RunFinished(*end); }, Qt::QueuedConnection);
  };
  try {
    runThread_ = std::thread(run);
  } catch (const std::system_error&) {
    // No thread to be had: the run goes on here, the window waiting for it.
    run();
  }
}

void MainWindow::StopRun() {
  if (On(RunEvent::kStopPressed) == RunAction::kStop) {
    host_->RequestStop();  // the run ends at its next poll, on its own thread
  }
}

RunAction MainWindow::On(RunEvent event) {
  const RunAction action = controller_.On(event);
  // The buttons have this one writer: what the run's state allows.
  executeAction_->setEnabled(controller_.ExecuteEnabled());
  checkAction_->setEnabled(controller_.ExecuteEnabled());
  stopAction_->setEnabled(controller_.StopEnabled());
  return action;
}

void MainWindow::ChooseFolder() {
  // The picker opens at the folder in the field, where there is one.
  const QString inField = folderField_->text();
  const QString start = QFileInfo(inField).isDir() ? inField : pickerPath_;
  const std::optional<QString> chosen =
      pickFolder_(this, tr("Выберите папку с HTML файлами"), start);
  if (chosen) {
    pickerPath_ = *chosen;
    folderField_->setText(*chosen);
  }
}

void MainWindow::OpenSettings() {
  if (settingsDialog_ != nullptr) {
    settingsDialog_->exec();
  }
}

void MainWindow::ShowAbout() {
  if (aboutBox_ != nullptr) {
    aboutBox_->exec();
  }
}

void MainWindow::CloseWindow() {
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (On(RunEvent::kClosePressed) == RunAction::kStop) {
    // Closing during a run stops it; the window closes once the run has ended (log.txt
    // saved), so nothing is left half done.
    host_->RequestStop();
    event->ignore();
    return;
  }
  event->accept();
}

void MainWindow::PublishSettings() {
  std::array<bool, kProcedureCount> switches{};
  for (std::size_t i = 0; i < kProcedureCount; ++i) {
    switches[i] = settingsDialog_->SwitchOn(static_cast<ProcedureId>(i));
  }
  host_->PublishSettings(settingsDialog_->OutputFolder(), switches,
                         {settingsDialog_->LogFileEncoding(), settingsDialog_->LogLanguage()},
                         settingsDialog_->MaxPageSize());
}

void MainWindow::BannersChanged() {
  host_->BannersChanged();
}

void MainWindow::CopyWasLimited(std::size_t copied, std::size_t selected) {
  messages_.hint(this,
                 tr("Выделено строк: %1. В буфер обмена скопированы первые %2: "
                    "больше %3 МБ текста он не принимает.")
                     .arg(QString::fromStdString(GroupedDigits(selected, InterfaceLanguage())),
                          QString::fromStdString(GroupedDigits(copied, InterfaceLanguage())))
                     .arg(LogPane::kCopyLimitBytes >> 20));
}

void MainWindow::OpenChangeAt(std::size_t line) {
  const std::optional<LogPane::Change> change = logPane_->ChangeAt(line);
  if (!change) {
    return;
  }
  OpenViewer({std::string(change->page), change->rank, logPane_->Line(line).toStdString(), {}});
}

void MainWindow::OpenPage(const std::string& page) {
  OpenViewer({page, 0, {}, {}});
}

void MainWindow::OpenViewer(const ReviewRequest& asked) {
  ReviewRequest request = asked;
  request.language = InterfaceLanguage();
  request.logLanguage = host_->ShownLogLanguage();
  try {
    const SplitParts parts = SplitPath(request.page);
    request.output = MirroredPath(host_->PublishedOutputFolder(), parts.directory, parts.fileName);
  } catch (const std::exception&) {
    // No copy can be named for it: the viewer says there is none.
  }
  std::array<bool, kProcedureCount> switches{};
  for (std::size_t i = 0; i < kProcedureCount; ++i) {
    switches[i] = host_->PublishedSwitch(static_cast<ProcedureId>(i));
  }
  // A large page takes a moment to clean again: it is prepared on a thread of its own, the
  // window answering meanwhile and its cursor saying so.
  QApplication::setOverrideCursor(Qt::BusyCursor);
  ++viewersPreparing_;
  viewerPool_.start([this, request, switches, settingsFile = settingsFile_] {
    auto prepared = std::make_shared<std::optional<PageReview>>();
    QString error;
    try {
      CachedIniFile banners(settingsFile);
      *prepared = ReviewPage(
          request, [&switches](ProcedureId s) { return switches[Index(s)]; },
          [&banners](int slot) { return ReadBannerMarkers(banners, slot); });
    } catch (const std::bad_alloc&) {
      error = tr("Недостаточно памяти, чтобы показать изменения страницы ") +
              QString::fromStdString(request.page);
    } catch (const std::exception& e) {
      error = ShownMessage(e);
    }
    QMetaObject::invokeMethod(
        this, [this, prepared, error] { ShowViewer(std::move(*prepared), error); },
        Qt::QueuedConnection);
  });
}

void MainWindow::ShowViewer(std::optional<PageReview> prepared, const QString& error) {
  --viewersPreparing_;
  QApplication::restoreOverrideCursor();
  try {
    if (!prepared) {
      throw std::runtime_error(error.toStdString());
    }
    ChangeViewer* viewer = ChangeViewer::Show(std::move(*prepared), this);
    if (windowState_ != nullptr) {
      // The size it was last closed at, as far as the screen holds it.
      if (const QSize size = windowState_->ViewerSize(); size.isValid()) {
        viewer->resize(FittedToScreen(viewer, size));
      }
      connect(viewer, &ChangeViewer::closing, this,
              [state = windowState_](QSize size) { state->SetViewerSize(size); });
    }
    viewer->show();
    viewer->activateWindow();
  } catch (const std::bad_alloc&) {
    messages_.error(this, tr("Недостаточно памяти, чтобы показать изменения."));
  } catch (const std::exception& e) {
    messages_.error(this, ShownMessage(e));
  }
}

}  // namespace varnow
