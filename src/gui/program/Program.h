// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <filesystem>
#include <memory>
#include <optional>

#include "ErrorBox.h"
#include "messages/Language.h"

class QTranslator;

namespace varnow {

class WindowState;

class AboutBox;
class BannerListEditor;
class MainWindow;
class StopSignals;
class SettingsDialog;

// The program's four windows. They are created together, in the order main window, about box,
// settings dialog (which reads the settings file), banner list editor (which reads the banner
// slots), live until the program ends, and are then destroyed in the opposite order; the
// settings dialog writes section "Main" as it goes.
class Program {
 public:
  // `stateFile`: where the window remembers its size and place and the folders cleaned; none,
  // and it remembers nothing.
  explicit Program(const std::filesystem::path& settingsFile,
                   UserMessages messages = MessageBoxes(),
                   const std::optional<QString>& stateFile = std::nullopt);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  MainWindow& Window() { return *mainWindow_; }
  AboutBox& About() { return *aboutBox_; }
  SettingsDialog& Options() { return *settingsDialog_; }
  BannerListEditor& Banners() { return *bannerEditor_; }

  void Show();
  // Ends the process now, as closing the window ends it: the settings and what the window
  // remembers are written first. For a window closed during a run whose log.txt is saved but
  // whose pages in progress are still being dropped.
  [[noreturn]] void EndNow();
  // The stop signal (SIGTERM, SIGHUP) that closed the program, 0 if none.
  int StopSignal() const;

 private:
  // A stop signal: the boxes open are closed and the main window closes as by its close box.
  void EndOnStopSignal();
  // The messages the windows get: boxes, until a stop signal has come.
  UserMessages WhileNotEnding(UserMessages messages);

  std::unique_ptr<StopSignals> stopSignals_;  // first: blocks the signals before any thread
  std::unique_ptr<WindowState> windowState_;  // outlives the window that writes to it
  std::unique_ptr<MainWindow> mainWindow_;
  std::unique_ptr<AboutBox> aboutBox_;
  std::unique_ptr<SettingsDialog> settingsDialog_;
  std::unique_ptr<BannerListEditor> bannerEditor_;
};

// Qt's own texts (the folder pickers, the buttons of message boxes) in Russian, as the program's
// are: Qt's translation "qtbase_ru" from the system's Qt translations. False when it is not
// installed (the texts then stay English).
bool InstallQtTranslation(QTranslator& translator);

// The language the windows speak unless the command line names one: the one the settings file
// names (Language), else the locale's.
Language ProgramLanguage();
// Installs the catalogs of `language` (the windows' own, and Qt's for its dialogs and buttons)
// in `windows` and `qt`, which must outlive the windows, and makes the language the default
// locale's, so that dates and numbers in Qt's dialogs read alike. Russian, the windows' own
// language, needs no catalog of theirs.
void InstallLanguage(Language language, QTranslator& windows, QTranslator& qt);

// The program itself, inside a QApplication: starts, shows the main window and runs the event
// loop until the main window is closed, with `folder` (from the command line) in the folder
// field, the windows speaking `language`. Returns the exit status.
int RunProgram(const std::optional<QString>& folder, Language language);

}  // namespace varnow
