// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace varnow {

// Lets the user choose a folder: the chosen folder's full path, or nothing when the user
// cancels. `start` is the folder shown first (none when empty). Tests put their own function
// here so that no real dialog opens.
using FolderPicker = std::function<std::optional<QString>(QWidget* parent, const QString& title,
                                                          const QString& start)>;

// The desktop's folder dialog, showing folders only.
std::optional<QString> PickFolderWithDialog(QWidget* parent, const QString& title,
                                            const QString& start);

}  // namespace varnow
