#include "TFormMain.h"

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
#include "TFormAbout.h"
#include "TFormOpt.h"
#include "Version.h"
#include "batch/RunTexts.h"
#include "explain/ChangeLine.h"
#include "paths/SplitPath.h"
#include "settings/CachedProfile.h"
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

TFormMain::TFormMain(std::filesystem::path settingsFile, UserMessages messages, QWidget* parent)
    : QMainWindow(parent),
      settingsFile_(settingsFile),
      messages_(std::move(messages)),
      pickFolder_(PickFolderWithDialog),
      pickerPath_(QDir::toNativeSeparators(QDir::homePath())),
      pumpIntervalMs_(kPumpIntervalMs),
      run_(*this, std::move(settingsFile)) {
  setObjectName(QStringLiteral("FormMain"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  BuildActions();
  BuildControls();
  FitToScreen();
  FormCreate();
}

TFormMain::~TFormMain() = default;

void TFormMain::UseForms(TFormAbout* about, TFormOpt* options) {
  formAbout_ = about;
  formOpt_ = options;
}

void TFormMain::BuildActions() {
  const auto action = [this](const char* name, const QString& caption, IconRole image,
                             void (TFormMain::*handler)()) {
    auto* a = new QAction(RoleIcon(image, style()), caption, this);
    a->setObjectName(QString::fromLatin1(name));
    connect(a, &QAction::triggered, this, handler);
    return a;
  };
  aSettings_ = action("aSettings", QStringLiteral("Настройки"), IconRole::kSettings,
                      &TFormMain::aSettingsExecute);
  aExit_ = action("aExit", QStringLiteral("Выход"), IconRole::kStop, &TFormMain::aExitExecute);
  aAbout_ = action("aAbout", QStringLiteral("О программе..."), IconRole::kAbout,
                   &TFormMain::aAboutExecute);
  // The three tool buttons show only their images; the tips name what they do, and the keys.
  aExecute_ = action("aExecute", QString(), IconRole::kExecute, &TFormMain::aExecuteExecute);
  aExecute_->setShortcut(QKeySequence(Qt::Key_F5));
  aExecute_->setToolTip(QStringLiteral("Выполнить (F5)"));
  aSelectDir_ =
      action("aSelectDir", QString(), IconRole::kChooseFolder, &TFormMain::aSelectDirExecute);
  aSelectDir_->setToolTip(QStringLiteral("Выбрать папку"));
  aStop_ = action("aStop", QString(), IconRole::kStop, &TFormMain::aStopExecute);
  aStop_->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_Period)});
  aStop_->setToolTip(QStringLiteral("Остановить (Esc, Ctrl+.)"));
  aStop_->setEnabled(false);
}

void TFormMain::BuildControls() {
  QMenuBar* menu = menuBar();
  menu->setObjectName(QStringLiteral("ActionMainMenuBar1"));
  QMenu* file = menu->addMenu(QStringLiteral("Файл"));
  file->addAction(aSettings_);
  file->addSeparator();
  file->addAction(aExit_);
  QMenu* help = menu->addMenu(QStringLiteral("?"));
  help->addAction(aAbout_);

  auto* toolBar = new QToolBar(this);
  toolBar->setObjectName(QStringLiteral("ToolBar1"));
  toolBar->setMovable(false);
  toolBar->setFloatable(false);
  toolBar->setIconSize(QSize(16, 16));
  toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  toolBar->toggleViewAction()->setVisible(false);
  setContextMenuPolicy(Qt::NoContextMenu);  // no menu to hide the tool bar
  folderField_ = new QLineEdit(QDir::toNativeSeparators(QDir::homePath()), toolBar);
  folderField_->setObjectName(QStringLiteral("Edit1"));
  folderField_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  // Enter in the folder field starts a run, as Execute does.
  connect(folderField_, &QLineEdit::returnPressed, aExecute_, &QAction::trigger);
  toolBar->addWidget(folderField_);
  int number = 1;
  for (QAction* a : {aSelectDir_, aExecute_, aStop_}) {
    toolBar->addAction(a);
    QWidget* button = toolBar->widgetForAction(a);
    button->setObjectName(QStringLiteral("ToolButton%1").arg(number++));
    button->setFocusPolicy(Qt::TabFocus);  // reachable with Tab after the folder field
  }
  addToolBar(Qt::TopToolBarArea, toolBar);

  logPane_ = new LogPane(this);
  logPane_->setObjectName(QStringLiteral("Memo1"));
  setCentralWidget(logPane_);
  connect(logPane_, &LogPane::lineActivated, this, &TFormMain::OpenChangeAt);

  statusPanel_ = new StatusPanel(this);
  statusPanel_->setObjectName(QStringLiteral("StatusBar1"));
  setStatusBar(statusPanel_);
  statusPanel_->SetText(QStringLiteral("Готово"));

  for (const char* line : kIntroLines) {
    logPane_->AppendLine(std::string_view(line));
  }
  logPane_->Flush();
}

void TFormMain::FitToScreen() {
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

void TFormMain::FormCreate() {
  const QString title = QString::fromUtf8(version::kTitle);
  SetApplicationTitle(title);
  setWindowTitle(title);
}

// ---- actions ----

void TFormMain::aExecuteExecute() {
  if (!run_.Running() && StoreDir().empty()) {
    // The first run, with no output folder yet: the way out is offered with the message, and
    // nothing of the window (the intro text) is touched.
    const std::string_view message = run_text::kNoStoreDir;
    if (messages_.offer(this, QString::fromUtf8(message.data(), qsizetype(message.size())),
                        QStringLiteral("Настройки..."))) {
      aSettingsExecute();
    }
    return;
  }
  if (run_.Running()) {
    // Pressed after Stop while the stopped run is still ending (this is inside its pump).
    // The press is kept: the new run starts as soon as the old one has ended.
    executePending_ = true;
    aExecute_->setEnabled(false);
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

bool TFormMain::RunOnce() {
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

void TFormMain::aStopExecute() {
  executePending_ = false;
  run_.RequestStop();
  aExecute_->setEnabled(true);
}

void TFormMain::aSelectDirExecute() {
  const std::optional<QString> chosen =
      pickFolder_(this, QStringLiteral("Выберите папку с HTML файлами"), pickerPath_);
  if (chosen) {
    pickerPath_ = *chosen;
    folderField_->setText(*chosen);
  }
}

void TFormMain::aSettingsExecute() {
  if (formOpt_ != nullptr) {
    formOpt_->exec();
  }
}

void TFormMain::aAboutExecute() {
  if (formAbout_ != nullptr) {
    formAbout_->exec();
  }
}

void TFormMain::aExitExecute() {
  close();
}

void TFormMain::closeEvent(QCloseEvent* event) {
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

void TFormMain::Pump() {
  if (pumpIntervalMs_ > 0 && sinceLastPump_.isValid() &&
      sinceLastPump_.elapsed() < pumpIntervalMs_) {
    return;
  }
  QCoreApplication::processEvents();  // the queued log lines are shown here too
  sinceLastPump_.start();
}

std::string TFormMain::FolderText() {
  return folderField_->text().toStdString();
}

std::string TFormMain::StoreDir() {
  return formOpt_ != nullptr ? formOpt_->StoreDir() : std::string();
}

bool TFormMain::SwitchOn(Switch which) {
  return formOpt_ != nullptr && formOpt_->SwitchOn(which);
}

void TFormMain::OpenChangeAt(std::size_t line) {
  const std::string text = logPane_->Line(line).toStdString();
  const std::optional<ChangeLine> change = ParseChangeLine(text);
  if (!change) {
    return;
  }
  ChangeViewer::Request request{change->page, 0, text, {}};
  // Its rank among the page's changes: a page's lines stand together in the log.
  for (std::size_t i = line; i-- > 0; ++request.changeIndex) {
    const std::optional<ChangeLine> before = ParseChangeLine(logPane_->Line(i).toStdString());
    if (!before || before->page != change->page) {
      break;
    }
  }
  try {
    const SplitParts parts = SplitPath(change->page);
    request.output = MirroredPath(StoreDir(), parts.directory, parts.fileName);
  } catch (const std::exception&) {
    // No copy can be named for it: the viewer says there is none.
  }
  CachedProfile banners(settingsFile_);
  ChangeViewer* viewer = ChangeViewer::Open(
      request, [this](Switch s) { return SwitchOn(s); },
      [&banners](int slot) { return ReadBannerMarkers(banners, slot); }, this);
  viewer->show();
  viewer->activateWindow();
}

void TFormMain::SetStatus(const std::string& text) {
  statusPanel_->SetText(QString::fromStdString(text));
}

void TFormMain::ClearLog() {
  logPane_->Clear();
}

void TFormMain::AppendLog(std::string_view line) {
  // A file name that is not UTF-8 comes, most likely, from a cp1251 system: show it so.
  if (IsValidUtf8(line)) {
    logPane_->AppendLine(line);
  } else {
    logPane_->AppendLine(std::string_view(InvalidBytesAsCp1251(line)));
  }
}

void TFormMain::SetButtons(bool executeEnabled, bool stopEnabled) {
  aExecute_->setEnabled(executeEnabled);
  aStop_->setEnabled(stopEnabled);
}

void TFormMain::Progress(std::size_t done, std::size_t total) {
  statusPanel_->ShowProgress(done, total);
}

void TFormMain::RunEnded() {
  logPane_->Flush();
  statusPanel_->HideProgress();
}

}  // namespace varnow
