// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace varnow {

// A tool tip that shows `text` exactly as it is. Qt guesses rich text from a tag-like start, so
// a log line such as "удален <span> [430]" would lose its tags; escaped, nothing is lost, and
// line breaks and runs of spaces stay.
QString PlainToolTip(const QString& text);
// A description as a tool tip: plain as above, its lines broken at spaces to a readable width
// (Qt would wrap it a few words wide).
QString ReadableToolTip(const QString& text);

}  // namespace varnow
