// SPDX-License-Identifier: MIT
#include "batch/LogLineMaker.h"

#include "files/StreamedLog.h"
#include "text/Format.h"
#include "text/LoggedName.h"

namespace varnow {

LogLineMaker::LogLineMaker(LogForm form) : form_(form) {
  for (std::size_t i = 0; i < kMessageCount; ++i) {
    AppendLogTextBytes(texts_[i], TextOf(static_cast<MessageId>(i), form.language), form.encoding);
  }
}

std::string LogLineMaker::PageStart(std::string_view page) const {
  std::string start;
  AppendLogTextBytes(start, LoggedName(page) + ' ', form_.encoding);
  return start;
}

void LogLineMaker::AppendLine(std::string& out, std::string_view pageStart,
                              const LoggedChange& change) const {
  const std::string& text = texts_[Index(change.message)];
  out += pageStart;
  // Only a banner's messages name something besides the position.
  if (text.find("%s") != std::string::npos) {
    std::string name;
    AppendLogTextBytes(name, change.name, form_.encoding);
    AppendFormatted(out, text, {name, change.position});
  } else {
    AppendFormatted(out, text, {change.position});
  }
  out += "\r\n";
}

}  // namespace varnow
