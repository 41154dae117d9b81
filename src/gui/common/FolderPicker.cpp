// SPDX-License-Identifier: MIT
#include "FolderPicker.h"

#include <QDir>
#include <QFileDialog>

namespace varnow {

std::optional<QString> PickFolderWithDialog(QWidget* parent, const QString& title,
                                            const QString& start) {
  const QString folder =
      QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
  if (folder.isEmpty()) {
    return std::nullopt;
  }
  // The dialog gives "/" separators everywhere; show the system's own.
  return QDir::toNativeSeparators(folder);
}

}  // namespace varnow
