#include "MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <exception>

#include "ApplicationTitle.h"
#include "ChangeViewer.h"
#include "Icons.h"
#include "LogPane.h"
#include "StatusPanel.h"
#include "AboutBox.h"
#include "SettingsDialog.h"
#include "Version.h"
#include "batch/RunTexts.h"
#include "paths/SplitPath.h"
#include "settings/CachedIniFile.h"
#include "settings/Settings.h"
#include "text/Cp1251.h"

namespace varnow {
namespace {

// The run calls the pump very often (after every change a procedure makes); the event loop
// is reached at most this often, which keeps the window responsive and Stop prompt at no
// cost to the run.
constexpr qint64 kPumpIntervalMs = 25;

const QSize kClientSize(717, 476);

const char* const kIntroLines[] = {
    "Программа Varnow предназначена для очистки *.htm и *.html файлов.",
    "",
    "Иногда тэги <script></script> и <noscript></noscript> служат для организации меню. "
    "Поэтому если вы обработайте такой",
    "документ, то все испортите. ",
};

}  // namespace

MainWindow::MainWindow(std::filesystem::path settingsFile, UserMessages messages, QWidget* parent)
    : QMainWindow(parent),
      settingsFile_(settingsFile),
      messages_(std::move(messages)),
      pickFolder_(PickFolderWithDialog),
      pickerPath_(QDir::toNativeSeparators(QDir::homePath())),
      pumpIntervalMs_(kPumpIntervalMs),
      run_(*this, std::move(settingsFile)) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  BuildActions();
  BuildControls();
  FitToScreen();
  ShowTitle();
}

MainWindow::~MainWindow() = default;

void MainWindow::UseDialogs(AboutBox* about, SettingsDialog* options) {
  aboutBox_ = about;
  settingsDialog_ = options;
}

void MainWindow::BuildActions() {
  const auto action = [this](const char* name, const QString& caption, IconRole image,
                             void (MainWindow::*handler)()) {
    auto* a = new QAction(RoleIcon(image, style()), caption, this);
    a->setObjectName(QString::fromLatin1(name));
    connect(a, &QAction::triggered, this, handler);
    return a;
  };
  settingsAction_ = action("settingsAction", QStringLiteral("Настройки"), IconRole::kSettings,
                      &MainWindow::OpenSettings);
  exitAction_ = action("exitAction", QStringLiteral("Выход"), IconRole::kStop, &MainWindow::CloseWindow);
  aboutAction_ = action("aboutAction", QStringLiteral("О программе..."), IconRole::kAbout,
                   &MainWindow::ShowAbout);
  // The three tool buttons show only their images; the tips name what they do, and the keys.
  executeAction_ = action("executeAction", QString(), IconRole::kExecute, &MainWindow::StartRun);
  executeAction_->setShortcut(QKeySequence(Qt::Key_F5));
  executeAction_->setToolTip(QStringLiteral("Выполнить (F5)"));
  chooseFolderAction_ =
      action("chooseFolderAction", QString(), IconRole::kChooseFolder, &MainWindow::ChooseFolder);
  chooseFolderAction_->setToolTip(QStringLiteral("Выбрать папку"));
  stopAction_ = action("stopAction", QString(), IconRole::kStop, &MainWindow::StopRun);
  stopAction_->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_Period)});
  stopAction_->setToolTip(QStringLiteral("Остановить (Esc, Ctrl+.)"));
  stopAction_->setEnabled(false);
}

void MainWindow::BuildControls() {
  QMenuBar* menu = menuBar();
  menu->setObjectName(QStringLiteral("menuBar"));
  QMenu* file = menu->addMenu(QStringLiteral("Файл"));
  file->addAction(settingsAction_);
  file->addSeparator();
  file->addAction(exitAction_);
  QMenu* help = menu->addMenu(QStringLiteral("?"));
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
  folderField_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  // Enter in the folder field starts a run, as Execute does.
  connect(folderField_, &QLineEdit::returnPressed, executeAction_, &QAction::trigger);
  toolBar->addWidget(folderField_);
  const std::pair<QAction*, QString> buttons[] = {
      {chooseFolderAction_, QStringLiteral("chooseFolderButton")},
      {executeAction_, QStringLiteral("executeButton")},
      {stopAction_, QStringLiteral("stopButton")},
  };
  for (const auto& [a, name] : buttons) {
    toolBar->addAction(a);
    QWidget* button = toolBar->widgetForAction(a);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::TabFocus);  // reachable with Tab after the folder field
  }
  addToolBar(Qt::TopToolBarArea, toolBar);

  logPane_ = new LogPane(this);
  logPane_->setObjectName(QStringLiteral("logPane"));
  setCentralWidget(logPane_);
  connect(logPane_, &LogPane::lineActivated, this, &MainWindow::OpenChangeAt);

  statusPanel_ = new StatusPanel(this);
  statusPanel_->setObjectName(QStringLiteral("statusPanel"));
  setStatusBar(statusPanel_);
  statusPanel_->SetText(QStringLiteral("Готово"));

  for (const char* line : kIntroLines) {
    logPane_->AppendLine(std::string_view(line));
  }
  logPane_->Flush();
}

void MainWindow::FitToScreen() {
  // The designed size, unless the screen cannot hold it (a small screen, a large scale
  // factor): then as much of it as the screen holds. Either way centred, never off-screen.
  QSize size = kClientSize;
  QRect desktop(QPoint(0, 0), kClientSize);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    desktop = screen->availableGeometry();
    // Room for the frame the window manager adds around the window.
    const QSize frame(16, 48);
    size = size.boundedTo(desktop.size() - frame);
  }
  setFixedSize(size);
  move(desktop.center() - QPoint(size.width() / 2, size.height() / 2));
}

void MainWindow::ShowTitle() {
  const QString title = QString::fromUtf8(version::kTitle);
  SetApplicationTitle(title);
  setWindowTitle(title);
}

// ---- actions ----

void MainWindow::StartRun() {
  if (!run_.Running() && OutputFolder().empty()) {
    // The first run, with no output folder yet: the way out is offered with the message, and
    // nothing of the window (the intro text) is touched.
    const std::string_view message = run_text::kNoOutputFolder;
    if (messages_.offer(this, QString::fromUtf8(message.data(), qsizetype(message.size())),
                        QStringLiteral("Настройки..."))) {
      OpenSettings();
    }
    return;
  }
  if (run_.Running()) {
    // Pressed after Stop while the stopped run is still ending (this is inside its pump).
    // The press is kept: the new run starts as soon as the old one has ended.
    executePending_ = true;
    executeAction_->setEnabled(false);
    return;
  }
  do {
    executePending_ = false;
    if (!RunOnce()) {
      break;  // after an error the window waits, idle, for the user
    }
  } while (executePending_ && !closePending_);
  executePending_ = false;
  if (closePending_) {
    close();
  }
}

bool MainWindow::RunOnce() {
  sinceLastPump_.invalidate();  // the first pump of a run reaches the event loop
  try {
    run_.Execute();
    return true;
  } catch (const std::exception& e) {
    logPane_->Flush();
    statusPanel_->HideProgress();
    // The status says what ended the run, as the idle buttons do.
    statusPanel_->SetText(QString::fromUtf8(e.what()).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    messages_.error(this, QString::fromUtf8(e.what()));
    return false;
  }
}

void MainWindow::StopRun() {
  executePending_ = false;
  run_.RequestStop();
  executeAction_->setEnabled(true);
}

void MainWindow::ChooseFolder() {
  const std::optional<QString> chosen =
      pickFolder_(this, QStringLiteral("Выберите папку с HTML файлами"), pickerPath_);
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
  if (run_.Running()) {
    // Closing during a run stops it; the window closes once the run has ended (log.txt
    // saved), so nothing is left half done.
    closePending_ = true;
    executePending_ = false;
    run_.RequestStop();
    event->ignore();
    return;
  }
  event->accept();
}

// ---- the run's host ----

void MainWindow::Pump() {
  if (pumpIntervalMs_ > 0 && sinceLastPump_.isValid() &&
      sinceLastPump_.elapsed() < pumpIntervalMs_) {
    return;
  }
  QCoreApplication::processEvents();  // the queued log lines are shown here too
  sinceLastPump_.start();
}

std::string MainWindow::FolderText() {
  return folderField_->text().toStdString();
}

std::string MainWindow::OutputFolder() {
  return settingsDialog_ != nullptr ? settingsDialog_->OutputFolder() : std::string();
}

bool MainWindow::SwitchOn(Switch which) {
  return settingsDialog_ != nullptr && settingsDialog_->SwitchOn(which);
}

void MainWindow::OpenChangeAt(std::size_t line) {
  const std::optional<LogPane::Change> change = logPane_->ChangeAt(line);
  if (!change) {
    return;
  }
  const std::string page(change->page);
  ChangeViewer::Request request{page, change->rank, logPane_->Line(line).toStdString(), {}};
  try {
    const SplitParts parts = SplitPath(page);
    request.output = MirroredPath(OutputFolder(), parts.directory, parts.fileName);
  } catch (const std::exception&) {
    // No copy can be named for it: the viewer says there is none.
  }
  CachedIniFile banners(settingsFile_);
  ChangeViewer* viewer = ChangeViewer::Open(
      request, [this](Switch s) { return SwitchOn(s); },
      [&banners](int slot) { return ReadBannerMarkers(banners, slot); }, this);
  viewer->show();
  viewer->activateWindow();
}

void MainWindow::SetStatus(const std::string& text) {
  statusPanel_->SetText(QString::fromStdString(text));
}

void MainWindow::ClearLog() {
  logPane_->Clear();
}

namespace {

// A file name that is not UTF-8 comes, most likely, from a cp1251 system: it is shown so.
std::string_view Shown(std::string_view line, std::string& converted) {
  if (IsValidUtf8(line)) {
    return line;
  }
  converted = InvalidBytesAsCp1251(line);
  return converted;
}

}  // namespace

void MainWindow::AppendLog(std::string_view line) {
  std::string converted;
  logPane_->AppendLine(Shown(line, converted));
}

void MainWindow::AppendChanges(std::string_view page, std::string_view lines,
                               const std::vector<std::size_t>& ends) {
  std::string converted;
  std::size_t start = 0;
  for (std::size_t rank = 0; rank < ends.size(); ++rank) {
    logPane_->AppendChangeLine(Shown(lines.substr(start, ends[rank] - start), converted), page,
                               rank);
    start = ends[rank];
  }
}

void MainWindow::SetButtons(bool executeEnabled, bool stopEnabled) {
  executeAction_->setEnabled(executeEnabled);
  stopAction_->setEnabled(stopEnabled);
}

void MainWindow::Progress(std::size_t done, std::size_t total) {
  statusPanel_->ShowProgress(done, total);
}

void MainWindow::RunEnded() {
  logPane_->Flush();
  statusPanel_->HideProgress();
}

}  // namespace varnow
