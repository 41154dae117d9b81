#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <filesystem>
#include <string>

#include "ErrorBox.h"
#include "FolderPicker.h"
#include "settings/ProfileFile.h"
#include "settings/Switches.h"

class QCheckBox;
class QLineEdit;

class QKeyEvent;
class QShowEvent;

namespace varnow {

class TFormBan;

// The settings dialog: the output folder and the twelve switches. Its check boxes are the
// program's only copy of the switches, and it owns the output folder StoreDir; the run reads
// both from here at the moment it needs them. Read from the settings file when created,
// written back on OK and when destroyed at program end.
class TFormOpt : public QDialog {
  Q_OBJECT

 public:
  TFormOpt(std::filesystem::path settingsFile, UserMessages messages, QWidget* parent = nullptr);
  ~TFormOpt() override;

  // The banner list editor that "..." shows; it is created after this dialog.
  void UseBannerEditor(TFormBan* editor) { formBan_ = editor; }
  void SetFolderPicker(FolderPicker picker) { pickFolder_ = std::move(picker); }

  std::string StoreDir() const { return storeDir_.toStdString(); }
  bool SwitchOn(Switch which) const;

 public slots:
  void Button1Click();  // OK
  void Button2Click();  // Cancel
  void Button3Click();  // "...": the banner list editor
  void BitBtn1Click();  // the folder button

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void FormCreate();
  void FormDestroy();
  // StoreDir = the folder box, then all thirteen keys of "Main"; false after a write error,
  // which has been shown.
  bool WriteMain();
  QWidget* BoxParent();

  ProfileFile settings_;
  UserMessages messages_;
  FolderPicker pickFolder_;
  QString lastPick_;  // the folder last chosen with the folder button

  QString storeDir_;
  QLineEdit* storeDirField_ = nullptr;
  std::array<QCheckBox*, kSwitchCount> checkBoxes_{};  // by Index(Switch)
  TFormBan* formBan_ = nullptr;
};

}  // namespace varnow
