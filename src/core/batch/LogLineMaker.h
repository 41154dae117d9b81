// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "messages/LoggedChange.h"
#include "messages/Messages.h"
#include "text/LogEncoding.h"

namespace varnow {

// Makes the log.txt lines of changes straight in the log's encoding and language. Every
// message's text is converted once, when the maker is made, and a page's name once for all its
// lines (PageStart); a line is then that start, its message with the position and a banner's
// marker (converted alone) in place, and CR LF. Both encodings convert each character alone,
// so these are the bytes of the whole line made in UTF-8 and converted.
// Never changed once made: the run's threads share one.
class LogLineMaker {
 public:
  LogLineMaker() : LogLineMaker(LogForm{}) {}
  explicit LogLineMaker(LogForm form);

  // The page's name as log.txt writes it, and the space after it, in the log's encoding.
  std::string PageStart(std::string_view page) const;
  // The line of `change` (of the page whose PageStart is `pageStart`), CR LF included.
  void AppendLine(std::string& out, std::string_view pageStart, const LoggedChange& change) const;

 private:
  // A message's text in the log's encoding; where its one placeholder is the position (as for
  // most changes), where that "%d" stands, so that a line needs no formatting.
  struct Text {
    std::string whole;
    std::size_t positionAt = std::string::npos;
    bool namesMarker = false;  // a banner's message, whose %s is the marker
  };

  LogForm form_;
  std::array<Text, kMessageCount> texts_;
};

}  // namespace varnow
