#include "Program.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "ApplicationTitle.h"
#include "Icons.h"
#include "TFormAbout.h"
#include "TFormBan.h"
#include "TFormMain.h"
#include "TFormOpt.h"
#include "Version.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"

namespace varnow {

Program::Program(const std::filesystem::path& settingsFile, UserMessages messages) {
  // The title until the main window has been created; its creation sets the full one.
  SetApplicationTitle(QString::fromUtf8(version::kEarlyTitle));
  formMain_ = std::make_unique<TFormMain>(settingsFile, messages);
  formAbout_ = std::make_unique<TFormAbout>(formMain_.get());
  formAbout_->ShowSettingsFile(QString::fromStdString(settingsFile.string()));
  formOpt_ = std::make_unique<TFormOpt>(settingsFile, messages, formMain_.get());
  formBan_ = std::make_unique<TFormBan>(settingsFile, messages, formOpt_.get());
  formMain_->UseForms(formAbout_.get(), formOpt_.get());
  formOpt_->UseBannerEditor(formBan_.get());
}

// The windows go in the opposite order of their creation: the banner list editor, the
// settings dialog (writing "Main", with the main window still there to own its error box),
// the about box, the main window. Program is their one owner: each dialog leaves its Qt
// parent's list of children as it goes, so no window is ever deleted twice.
Program::~Program() {
  formBan_.reset();
  formOpt_.reset();
  formAbout_.reset();
  formMain_.reset();
}

void Program::Show() {
  formMain_->show();
}

bool InstallQtTranslation(QTranslator& translator) {
  if (!translator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return false;
  }
  return QCoreApplication::installTranslator(&translator);
}

int RunProgram() {
  QCoreApplication::setApplicationName(QStringLiteral("varnow"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(version::kProduct));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.example.varnow"));
  QGuiApplication::setWindowIcon(ProgramIcon());
  QTranslator qtTexts;
  InstallQtTranslation(qtTexts);
  UseFallbackIconTheme();

  // A settings file beside the program (its own path with ".ini") is used where there is one;
  // otherwise the user's own, in the configuration folder, which is made for it.
  const SettingsLocation settings =
      FindSettingsFile(SettingsFileFor(QCoreApplication::applicationFilePath().toStdString()));
  if (settings.inUserFolder) {
    std::error_code ec;
    std::filesystem::create_directories(settings.file.parent_path(), ec);
  }
  Program program(settings.file);
  program.Show();
  return QApplication::exec();
}

}  // namespace varnow
