// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "ErrorBox.h"
#include "FolderPicker.h"
#include "cleaning/ProcedureId.h"
#include "settings/SettingsModel.h"
#include "settings/Switches.h"
#include "text/LogEncoding.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class QKeyEvent;
class QShowEvent;

namespace varnow {

class BannerListEditor;

// The settings dialog: the output folder and the twelve switches. Its check boxes are the
// program's only copy of the switches, and it owns the output folder OutputFolder; the run reads
// both from here at the moment it needs them. Read from the settings file when created,
// written back on OK and when destroyed at program end.
class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  SettingsDialog(std::filesystem::path settingsFile, UserMessages messages,
                 QWidget* parent = nullptr);
  ~SettingsDialog() override;
  // Writes what the program's end writes (as the destructor does): the keys of "Main" this
  // window changed.
  void WriteSettingsAtEnd();

  // The banner list editor that "..." shows; it is created after this dialog.
  void UseBannerEditor(BannerListEditor* editor) { bannerEditor_ = editor; }
  void SetFolderPicker(FolderPicker picker) { pickFolder_ = std::move(picker); }

  std::string OutputFolder() const { return outputFolder_.toStdString(); }
  bool SwitchOn(ProcedureId which) const;
  LogEncoding LogFileEncoding() const { return logEncoding_; }
  Language LogLanguage() const { return logLanguage_; }
  // The interface's language the settings name, where the user chose one.
  std::optional<Language> ChosenLanguage() const { return chosenLanguage_; }
  // MaxPageSize of the file, where it sets one (set by hand; the dialog does not show it).
  std::optional<std::uint64_t> MaxPageSize() const { return maxPageSize_; }

 signals:
  // The output folder (on OK, or as the program ends) or a switch has changed.
  void changed();

 public slots:
  void AcceptSettings();      // OK
  void DiscardChanges();      // Cancel
  void OpenBannerEditor();    // "...": the banner list editor
  void ChooseOutputFolder();  // the folder button

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  QSize WholeSize() const;  // what the dialog needs to show every control without scrolling
  void ReadSettings();
  // OutputFolder = the folder box, then all thirteen keys of "Main" (and the log's encoding);
  // at the program's end only those this window changed. False after a write error, which has
  // been shown.
  bool WriteMain(bool atEnd = false);
  QWidget* BoxParent();
  void ShowLanguages();  // the boxes as the languages were accepted last

  SettingsModel model_;  // the file: what it holds, and what this window last read or wrote
  UserMessages messages_;
  FolderPicker pickFolder_;
  QString lastPick_;  // the folder last chosen with the folder button

  QString outputFolder_;
  QLineEdit* outputFolderField_ = nullptr;
  LogEncoding logEncoding_ = LogEncoding::kCp1251;  // as accepted last
  Language logLanguage_ = Language::kRussian;       // as accepted last
  std::optional<Language> chosenLanguage_;          // the interface's, once the user chose it
  std::optional<std::uint64_t> maxPageSize_;
  QComboBox* logEncodingBox_ = nullptr;
  QComboBox* logLanguageBox_ = nullptr;
  QComboBox* languageBox_ = nullptr;
  QLabel* languageNote_ = nullptr;  // the interface's language changes at the next start
  std::array<QCheckBox*, kProcedureCount> checkBoxes_{};  // by Index(ProcedureId)
  BannerListEditor* bannerEditor_ = nullptr;
};

}  // namespace varnow
