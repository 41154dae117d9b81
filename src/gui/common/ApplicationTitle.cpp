// SPDX-License-Identifier: MIT
#include "ApplicationTitle.h"

#include <QCoreApplication>
#include <QVariant>

namespace varnow {
namespace {

constexpr char kProperty[] = "varnowApplicationTitle";

}  // namespace

void SetApplicationTitle(const QString& title) {
  if (QCoreApplication* app = QCoreApplication::instance()) {
    app->setProperty(kProperty, title);
  }
}

QString ApplicationTitle() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr ? app->property(kProperty).toString() : QString();
}

}  // namespace varnow
