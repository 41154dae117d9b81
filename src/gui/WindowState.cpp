// SPDX-License-Identifier: MIT
#include "WindowState.h"

#include <QDir>
#include <QSettings>

namespace varnow {
namespace {

const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kRecentKey = QStringLiteral("folders/recent");
const QString kViewerSizeKey = QStringLiteral("viewer/size");

}  // namespace

WindowState::WindowState(const QString& file)
    : settings_(std::make_unique<QSettings>(file, QSettings::IniFormat)) {}

WindowState::~WindowState() = default;

QString WindowState::DefaultFile() {
  QString base = qEnvironmentVariable("XDG_STATE_HOME");
  if (base.isEmpty() || QDir::isRelativePath(base)) {
    base = QDir::homePath() + QStringLiteral("/.local/state");
  }
  return base + QStringLiteral("/varnow/state.ini");
}

QByteArray WindowState::Geometry() const {
  return settings_->value(kGeometryKey).toByteArray();
}

void WindowState::SetGeometry(const QByteArray& geometry) {
  settings_->setValue(kGeometryKey, geometry);
  settings_->sync();
}

QSize WindowState::ViewerSize() const {
  return settings_->value(kViewerSizeKey).toSize();
}

void WindowState::SetViewerSize(const QSize& size) {
  settings_->setValue(kViewerSizeKey, size);
  settings_->sync();
}

QStringList WindowState::RecentFolders() const {
  return settings_->value(kRecentKey).toStringList().mid(0, kRecentFolders);
}

void WindowState::AddFolder(const QString& folder) {
  QStringList recent = RecentFolders();
  recent.removeAll(folder);
  recent.prepend(folder);
  settings_->setValue(kRecentKey, recent.mid(0, kRecentFolders));
  settings_->sync();
}

}  // namespace varnow
