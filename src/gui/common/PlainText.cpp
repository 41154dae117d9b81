// SPDX-License-Identifier: MIT
#include "PlainText.h"

namespace varnow {

QString PlainToolTip(const QString& text) {
  if (text.isEmpty()) {
    return text;  // no tip at all
  }
  return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() +
         QStringLiteral("</p>");
}

}  // namespace varnow
