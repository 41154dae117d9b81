// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace varnow {

// The application's title: the caption of its message boxes, "Varnow [0.9]" until the main
// window exists and "Varnow [0.9.9]" after. It is kept as a property of the application object,
// not as Qt's application display name, which the window system would be given at the end of
// every window's title ("Настройки — Varnow [0.9.9]").
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

}  // namespace varnow
