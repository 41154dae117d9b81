// SPDX-License-Identifier: MIT
#include "batch/LogLineMaker.h"

#include <charconv>
#include <cstdint>

#include "files/StreamedLog.h"
#include "text/Format.h"
#include "text/LoggedName.h"

namespace varnow {

LogLineMaker::LogLineMaker(LogForm form) : form_(form) {
  for (std::size_t i = 0; i < kMessageCount; ++i) {
    Text& text = texts_[i];
    AppendLogTextBytes(text.whole, TextOf(static_cast<MessageId>(i), form.language), form.encoding);
    const std::size_t placeholder = text.whole.find('%');
    if (placeholder != std::string::npos && text.whole.compare(placeholder, 2, "%d") == 0 &&
        text.whole.find('%', placeholder + 2) == std::string::npos) {
      text.positionAt = placeholder;
    }
    text.namesMarker = text.whole.find("%s") != std::string::npos;
  }
}

std::string LogLineMaker::PageStart(std::string_view page) const {
  std::string start;
  AppendLogTextBytes(start, LoggedName(page) + ' ', form_.encoding);
  return start;
}

void LogLineMaker::AppendLine(std::string& out, std::string_view pageStart,
                              const LoggedChange& change) const {
  const Text& text = texts_[Index(change.message)];
  out += pageStart;
  if (text.positionAt != std::string::npos) {
    out.append(text.whole, 0, text.positionAt);
    char digits[24];
    const std::to_chars_result written =
        std::to_chars(digits, digits + sizeof digits, std::int64_t{change.position});
    out.append(digits, written.ptr);
    out.append(text.whole, text.positionAt + 2);
  } else if (text.namesMarker) {
    std::string name;
    AppendLogTextBytes(name, change.name, form_.encoding);
    AppendFormatted(out, text.whole, {name, change.position});
  } else {
    AppendFormatted(out, text.whole, {change.position});
  }
  out += "\r\n";
}

}  // namespace varnow
