// SPDX-License-Identifier: MIT
#include "PlainText.h"

#include <QStringList>

namespace varnow {
namespace {

// Qt wraps a rich-text tip at a width of its own guess, a few words wide; a description's
// lines are broken here instead, at spaces, at a width a sentence reads well in.
constexpr qsizetype kTipLineChars = 72;

QString BrokenAtSpaces(const QString& line) {
  QStringList out;
  QString current;
  for (const QString& word : line.split(QLatin1Char(' '))) {
    if (!current.isEmpty() && current.size() + 1 + word.size() > kTipLineChars) {
      out << current;
      current.clear();
    } else if (!current.isEmpty()) {
      current += QLatin1Char(' ');
    }
    current += word;
  }
  out << current;
  return out.join(QLatin1Char('\n'));
}

}  // namespace

QString PlainToolTip(const QString& text) {
  if (text.isEmpty()) {
    return text;  // no tip at all
  }
  return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() +
         QStringLiteral("</p>");
}

QString ReadableToolTip(const QString& text) {
  if (text.isEmpty()) {
    return text;
  }
  QStringList lines = text.split(QLatin1Char('\n'));
  for (QString& line : lines) {
    if (line.size() > kTipLineChars) {
      line = BrokenAtSpaces(line);
    }
  }
  return QStringLiteral("<p style='white-space:pre'>") +
         lines.join(QLatin1Char('\n')).toHtmlEscaped() + QStringLiteral("</p>");
}

}  // namespace varnow
