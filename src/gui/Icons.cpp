#include "Icons.h"

#include <QStyle>
#include <array>

namespace varnow {
namespace {

struct RoleLook {
  // Theme names, tried in order: the full-colour name first, then its symbolic form, which
  // is all that some themes carry.
  std::array<const char*, 2> themeNames;
  QStyle::StandardPixmap standard;
};

RoleLook LookOf(IconRole role) {
  switch (role) {
    case IconRole::kStop:
      return {{"process-stop", "process-stop-symbolic"}, QStyle::SP_BrowserStop};
    case IconRole::kChooseFolder:
      return {{"folder-open", "folder-open-symbolic"}, QStyle::SP_DirOpenIcon};
    case IconRole::kAbout:
      return {{"help-about", "help-about-symbolic"}, QStyle::SP_MessageBoxInformation};
    case IconRole::kExecute:
      return {{"media-playback-start", "media-playback-start-symbolic"}, QStyle::SP_MediaPlay};
    case IconRole::kSettings:
      return {{"preferences-system", "preferences-system-symbolic"},
              QStyle::SP_FileDialogDetailedView};
  }
  return {{"", ""}, QStyle::SP_CustomBase};
}

}  // namespace

QIcon RoleIcon(IconRole role, const QStyle* style) {
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

QIcon ProgramIcon() { return QIcon(QStringLiteral(":/varnow/varnow.svg")); }

}  // namespace varnow
