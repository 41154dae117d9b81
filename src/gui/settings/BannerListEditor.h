// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <filesystem>

#include "ErrorBox.h"
#include "settings/IniFile.h"

class QLineEdit;
class QTableWidget;

namespace varnow {

// The banner list editor: the 21 marker pairs of the settings file, one row each. Filled once
// when created; selecting a row (a click, the arrow keys, Enter) loads its slot from the file
// into the two boxes, "+" stores the boxes into the file and the row at once, asking first
// where that would replace or clear a pair, and moves on to the next empty slot.
class BannerListEditor : public QDialog {
  Q_OBJECT

 public:
  BannerListEditor(std::filesystem::path settingsFile, UserMessages messages,
                   QWidget* parent = nullptr);

 public slots:
  void LoadSelectedSlot();
  void StoreMarkersInSelectedSlot();  // "+"
  void CloseEditor();                 // "Закрыть"

 private:
  void BuildControls();
  void FillList();
  int SelectedSlot() const;  // -1 when no row is selected

  IniFile settings_;
  UserMessages messages_;
  QTableWidget* bannerList_ = nullptr;
  QLineEdit* firstMarkerField_ = nullptr;
  QLineEdit* lastMarkerField_ = nullptr;
};

}  // namespace varnow
