// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cleaning/ProcedureId.h"
#include "messages/Messages.h"

namespace varnow {

// One change as a procedure reports it: data, never text, until a host shows it. The views
// point into what the reporter holds (the page's path, the banner marker) and are valid for the
// call they come with; whoever keeps a change copies them.
struct LoggedChange {
  std::string_view page;  // the page's path, its bytes as found
  ProcedureId procedure;
  MessageId message;
  std::string_view name;  // the value of its message's %s (a banner marker as typed), or empty
  std::int64_t position;  // where the change began in the text as it stood, 1-based, or 0
};

// A line of the log that reports no change: its message, what it is about (the page or folder
// it names, log.txt's path; may be empty) and the values of its %s placeholders in order.
struct RunNotice {
  MessageId message;
  std::string about;
  std::vector<std::string> values;

  MessageKind Kind() const { return KindOf(message); }
};

}  // namespace varnow
