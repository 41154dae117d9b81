// SPDX-License-Identifier: MIT
#include "Program.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

#include "AboutBox.h"
#include "ApplicationTitle.h"
#include "BannerListEditor.h"
#include "Icons.h"
#include "MainWindow.h"
#include "SettingsDialog.h"
#include "StopSignals.h"
#include "Version.h"
#include "WindowState.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"

namespace varnow {

Program::Program(const std::filesystem::path& settingsFile, UserMessages messages,
                 const std::optional<QString>& stateFile)
    : stopSignals_(std::make_unique<StopSignals>()) {
  // A stop signal closes the program as its window's close box does: a run ends first, with
  // log.txt saved, and the settings are written as the windows go. It is heard from the start:
  // the boxes shown while the windows are made (a bad settings file) wait in loops of their own.
  QObject::connect(stopSignals_.get(), &StopSignals::received, [this] { EndOnStopSignal(); });
  const UserMessages shown = WhileNotEnding(std::move(messages));
  if (stateFile) {
    windowState_ = std::make_unique<WindowState>(*stateFile);
  }
  // The title until the main window has been created; its creation sets the full one.
  SetApplicationTitle(QString::fromUtf8(version::kEarlyTitle));
  mainWindow_ = std::make_unique<MainWindow>(settingsFile, shown);
  aboutBox_ = std::make_unique<AboutBox>(mainWindow_.get());
  aboutBox_->ShowSettingsFile(QString::fromStdString(settingsFile.string()));
  settingsDialog_ = std::make_unique<SettingsDialog>(settingsFile, shown, mainWindow_.get());
  bannerEditor_ = std::make_unique<BannerListEditor>(settingsFile, shown, settingsDialog_.get());
  mainWindow_->UseDialogs(aboutBox_.get(), settingsDialog_.get());
  mainWindow_->UseState(windowState_.get());
  if (windowState_ && windowState_->Problem()) {
    shown.error(mainWindow_.get(), *windowState_->Problem());
  }
  settingsDialog_->UseBannerEditor(bannerEditor_.get());
  // Slots saved during a run count from the next page it takes.
  QObject::connect(bannerEditor_.get(), &QDialog::accepted, mainWindow_.get(),
                   &MainWindow::BannersChanged);
}

UserMessages Program::WhileNotEnding(UserMessages messages) {
  // Once a stop signal has come, nobody is there to answer a box: what it would have said goes
  // to standard error, and an offer is declined.
  const auto toError = [](const QString& message) {
    std::fprintf(stderr, "varnow: %s\n", message.toLocal8Bit().constData());
  };
  const auto unlessEnding = [this, toError](UserMessages::Show show) {
    return [this, show = std::move(show), toError](QWidget* parent, const QString& message) {
      StopSignal() != 0 ? toError(message) : show(parent, message);
    };
  };
  const auto declinedIfEnding = [this, toError](UserMessages::Offer offer) {
    return [this, offer = std::move(offer), toError](QWidget* parent, const QString& message,
                                                     const QString& action) {
      if (StopSignal() != 0) {
        toError(message);
        return false;
      }
      return offer(parent, message, action);
    };
  };
  return {
      unlessEnding(std::move(messages.error)),
      unlessEnding(std::move(messages.hint)),
      declinedIfEnding(std::move(messages.offer)),
      declinedIfEnding(std::move(messages.ask)),
  };
}

void Program::EndOnStopSignal() {
  // A message box open runs an event loop of its own, which would hold the end until someone
  // answered it: each is closed, as its OK would close it. The dialogs the main window owns go
  // with it.
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<QMessageBox*>(window); box != nullptr && box->isVisible()) {
      box->done(QMessageBox::Ok);
    }
  }
  if (mainWindow_ && mainWindow_->isVisible()) {
    mainWindow_->close();
  }
}

int Program::StopSignal() const {
  return stopSignals_->Received();
}

// The windows go in the opposite order of their creation: the banner list editor, the
// settings dialog (writing "Main", with the main window still there to own its error box),
// the about box, the main window. Program is their one owner: each dialog leaves its Qt
// parent's list of children as it goes, so no window is ever deleted twice.
Program::~Program() {
  bannerEditor_.reset();
  settingsDialog_.reset();
  aboutBox_.reset();
  mainWindow_.reset();
  windowState_.reset();
  stopSignals_.reset();
}

void Program::EndNow() {
  mainWindow_->SaveState();
  mainWindow_->hide();
  settingsDialog_->WriteSettingsAtEnd();
  // The threads still dropping their pages hold nothing to keep: their copies have no names.
  std::_Exit(StopSignal() != 0 ? 128 + StopSignal() : 0);
}

void Program::Show() {
  mainWindow_->show();
}

Language ProgramLanguage() {
  return ReadLanguage(IniSnapshot(FindProgramSettings().file), kLanguageKey)
      .value_or(LanguageOfEnvironment());
}

void InstallLanguage(Language language, QTranslator& windows, QTranslator& qt) {
  if (language == Language::kRussian) {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    InstallQtTranslation(qt);
    return;
  }
  // English chosen over a Russian locale: Qt's dialogs follow, not the locale.
  if (QLocale::system().language() == QLocale::Russian) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }
  if (windows.load(QStringLiteral(":/i18n/varnow_en.qm"))) {
    QCoreApplication::installTranslator(&windows);
  }
}

bool InstallQtTranslation(QTranslator& translator) {
  if (!translator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return false;
  }
  return QCoreApplication::installTranslator(&translator);
}

int RunProgram(const std::optional<QString>& folder, Language language) {
  QCoreApplication::setApplicationName(QStringLiteral("varnow"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(version::kProduct));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.example.varnow"));
  QGuiApplication::setWindowIcon(ProgramIcon());
  QTranslator windowTexts;
  QTranslator qtTexts;
  InstallLanguage(language, windowTexts, qtTexts);
  UseFallbackIconTheme();

  // A settings file beside the program is used where there is one; otherwise the user's own,
  // in the configuration folder, which is made for it.
  const SettingsLocation settings = FindProgramSettings();
  if (settings.inUserFolder) {
    std::error_code ec;
    std::filesystem::create_directories(settings.file.parent_path(), ec);
  }
  Program program(settings.file, MessageBoxes(), WindowState::DefaultFile());
  if (program.StopSignal() != 0) {
    // Ended while a box at start waited: the window is never shown, the settings are written
    // as the program goes.
    return 128 + program.StopSignal();
  }
  program.Window().SetQuickExit([&program] { program.EndNow(); });
  if (folder) {
    program.Window().SetFolder(*folder);
  }
  program.Show();
  const int status = QApplication::exec();
  // Ended by a stop signal: the status says so, as the command line's does.
  return program.StopSignal() != 0 ? 128 + program.StopSignal() : status;
}

}  // namespace varnow
