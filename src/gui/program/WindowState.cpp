// SPDX-License-Identifier: MIT
#include "WindowState.h"
#include "InterfaceLanguage.h"

#include <QDir>
#include <QSettings>

#include "files/KeptFilePlace.h"
#include "platform/PathSyntax.h"
#include "platform/UserFolders.h"

namespace varnow {
namespace {

const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kRecentKey = QStringLiteral("folders/recent");
const QString kViewerSizeKey = QStringLiteral("viewer/size");
const QString kSummaryShownKey = QStringLiteral("summary/shown");
const QString kChangedOnlyKey = QStringLiteral("run/changedOnly");
const QString kSummarySplitKey = QStringLiteral("summary/split");

}  // namespace

WindowState::WindowState(const QString& file) : file_(file) {
  Usable();
}

WindowState::~WindowState() = default;

QString WindowState::DefaultFile() {
  const std::filesystem::path base =
      UserStateFolder().value_or(PathOf(QDir::homePath().toStdString()) / ".local" / "state");
  return QString::fromStdString(PathText(base / "varnow" / "state.ini"));
}

QSettings* WindowState::Usable() {
  if (problem_) {
    return nullptr;  // once refused, never read or written again in this start
  }
  const std::filesystem::path path = PathOf(file_.toStdString());
  const KeptFilePlace place = LookAtKeptFile(path);
  if (const std::optional<ErrorText> problem =
          KeptFileProblem(place, path, {"Файл состояния окна", "The window's state file"})) {
    problem_ = QString::fromStdString(problem->Shown(InterfaceLanguage()));
    // Nothing is pending (every change is written at once), so dropping it writes nothing.
    settings_.reset();
    return nullptr;
  }
  if (!settings_) {
    // The link's target itself: Qt's own writer then replaces the file the link points at.
    settings_ = std::make_unique<QSettings>(QString::fromStdString(PathText(place.target)),
                                            QSettings::IniFormat);
  }
  return settings_.get();
}

QVariant WindowState::Value(const QString& key) const {
  return settings_ ? settings_->value(key) : QVariant();
}

void WindowState::Store(const QString& key, const QVariant& value) {
  if (QSettings* settings = Usable()) {
    settings->setValue(key, value);
    settings->sync();
  }
}

QByteArray WindowState::Geometry() const {
  return Value(kGeometryKey).toByteArray();
}

void WindowState::SetGeometry(const QByteArray& geometry) {
  Store(kGeometryKey, geometry);
}

QSize WindowState::ViewerSize() const {
  return Value(kViewerSizeKey).toSize();
}

void WindowState::SetViewerSize(const QSize& size) {
  Store(kViewerSizeKey, size);
}

bool WindowState::SummaryShown() const {
  const QVariant shown = Value(kSummaryShownKey);
  return !shown.isValid() || shown.toBool();
}

void WindowState::SetSummaryShown(bool shown) {
  Store(kSummaryShownKey, shown);
}

QByteArray WindowState::SummarySplit() const {
  return Value(kSummarySplitKey).toByteArray();
}

void WindowState::SetSummarySplit(const QByteArray& split) {
  Store(kSummarySplitKey, split);
}

bool WindowState::ChangedOnly() const {
  return Value(kChangedOnlyKey).toBool();
}

void WindowState::SetChangedOnly(bool changedOnly) {
  Store(kChangedOnlyKey, changedOnly);
}

QStringList WindowState::RecentFolders() const {
  return Value(kRecentKey).toStringList().mid(0, kRecentFolders);
}

void WindowState::AddFolder(const QString& folder) {
  QStringList recent = RecentFolders();
  recent.removeAll(folder);
  recent.prepend(folder);
  Store(kRecentKey, recent.mid(0, kRecentFolders));
}

}  // namespace varnow
