#pragma once

#include <QDialog>
#include <filesystem>

#include "ErrorBox.h"
#include "settings/ProfileFile.h"

class QLineEdit;
class QTableWidget;

namespace varnow {

// The banner list editor: the 21 marker pairs of the settings file, one row each. Filled once
// when created; a click on the list loads the selected slot from the file into the two boxes,
// "+" stores the boxes into the file and the row at once.
class TFormBan : public QDialog {
  Q_OBJECT

 public:
  TFormBan(std::filesystem::path settingsFile, UserMessages messages, QWidget* parent = nullptr);

 public slots:
  void ListView1Click();
  void BitBtn1Click();  // "+"
  void Button1Click();  // "Закрыть"

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void FormCreate();
  int SelectedSlot() const;  // -1 when no row is selected

  ProfileFile settings_;
  UserMessages messages_;
  QTableWidget* listView1_ = nullptr;
  QLineEdit* edit1_ = nullptr;
  QLineEdit* edit2_ = nullptr;
};

}  // namespace varnow
