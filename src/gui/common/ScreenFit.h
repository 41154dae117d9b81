// SPDX-License-Identifier: MIT
#pragma once

#include <QSize>

class QWidget;

namespace varnow {

// The room a window may take on the screen `window` stands on (the primary one before it is
// shown): the screen's available area less the frame a window manager adds around a window.
// At a large scale factor or on a small screen it is less than a window's designed size.
QSize ScreenRoom(const QWidget* window);

// `wanted`, as far as the screen's room holds it.
QSize FittedToScreen(const QWidget* window, QSize wanted);

}  // namespace varnow
