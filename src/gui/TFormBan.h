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

 private:
  void BuildControls();
  void FormCreate();
  int SelectedSlot() const;  // -1 when no row is selected

  ProfileFile settings_;
  UserMessages messages_;
  QTableWidget* bannerList_ = nullptr;
  QLineEdit* firstMarkerField_ = nullptr;
  QLineEdit* lastMarkerField_ = nullptr;
};

}  // namespace varnow
