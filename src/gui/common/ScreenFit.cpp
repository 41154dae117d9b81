// SPDX-License-Identifier: MIT
#include "ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace varnow {

QSize ScreenRoom(const QWidget* window) {
  const QScreen* screen = window != nullptr ? window->screen() : nullptr;
  if (screen == nullptr) {
    screen = QGuiApplication::primaryScreen();
  }
  if (screen == nullptr) {
    return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
  }
  // Room for the title bar and borders a window manager draws.
  const QSize frame(16, 48);
  return (screen->availableGeometry().size() - frame).expandedTo(QSize(160, 120));
}

QSize FittedToScreen(const QWidget* window, QSize wanted) {
  return wanted.boundedTo(ScreenRoom(window));
}

}  // namespace varnow
