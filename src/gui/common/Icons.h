// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>

class QStyle;

namespace varnow {

// The images of the program's actions, by the index the window gives them.
enum class IconRole {
  kStop = 0,  // Stop and Exit share it
  kChooseFolder = 1,
  kAbout = 2,
  kExecute = 3,
  kSettings = 4,
};

// The desktop's icon for the role, or Qt's own standard icon when the icon theme has none.
QIcon RoleIcon(IconRole role, const QStyle* style);

// Lets the icon theme installed with the program stand in when the desktop names none.
void UseFallbackIconTheme();

// The program's own icon (its window icon).
QIcon ProgramIcon();

}  // namespace varnow
