// SPDX-License-Identifier: MIT
#include "Icons.h"

#include <QStyle>
#include <array>

// The program's resources live in a static library, which the linker would leave out
// unless asked for them by name; this must stand outside any namespace.
static void LoadProgramResources() {
  Q_INIT_RESOURCE(varnow);
}

namespace varnow {
namespace {

struct RoleLook {
  // Theme names, tried in order: the symbolic form first (one-colour icons that read well at
  // 16 pixels, and all that some themes carry), then the full-colour name.
  std::array<const char*, 2> themeNames;
  QStyle::StandardPixmap standard;
};

RoleLook LookOf(IconRole role) {
  switch (role) {
    case IconRole::kStop:
      return {{"process-stop-symbolic", "process-stop"}, QStyle::SP_BrowserStop};
    case IconRole::kChooseFolder:
      return {{"folder-open-symbolic", "folder-open"}, QStyle::SP_DirOpenIcon};
    case IconRole::kAbout:
      return {{"help-about-symbolic", "help-about"}, QStyle::SP_MessageBoxInformation};
    case IconRole::kExecute:  // the program's own, see RoleIcon
      break;
    case IconRole::kSettings:
      return {{"preferences-system-symbolic", "preferences-system"},
              QStyle::SP_FileDialogDetailedView};
  }
  return {{"", ""}, QStyle::SP_CustomBase};
}

}  // namespace

QIcon RoleIcon(IconRole role, const QStyle* style) {
  if (role == IconRole::kExecute) {
    // The program's own: a theme's "start" icon is often a pale outline that reads as
    // disabled. Green when it can be pressed, a grey of the same shape when it cannot.
    LoadProgramResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/varnow/execute.svg"), {}, QIcon::Normal);
    icon.addFile(QStringLiteral(":/varnow/execute-disabled.svg"), {}, QIcon::Disabled);
    return icon;
  }
  const RoleLook look = LookOf(role);
  for (const char* name : look.themeNames) {
    const QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
    if (!icon.isNull()) {
      return icon;
    }
  }
  return style->standardIcon(look.standard);
}

void UseFallbackIconTheme() {
  // Without a desktop session Qt knows no theme; Adwaita is installed with the program's
  // dependencies and stands in for names the current theme lacks.
  if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == u"hicolor") {
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
  }
}

QIcon ProgramIcon() {
  LoadProgramResources();
  return QIcon(QStringLiteral(":/varnow/varnow.svg"));
}

}  // namespace varnow
