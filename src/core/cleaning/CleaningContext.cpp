// SPDX-License-Identifier: MIT
#include "cleaning/CleaningContext.h"

namespace varnow {

void CleaningContext::LogChange(std::string_view path, std::string_view message,
                                std::initializer_list<FormatArg> values) {
  ++changeCount_;
  if (!logSink_) {
    return;
  }
  // Every message names the position of its change last.
  Pos position = 0;
  for (const FormatArg& value : values) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
      position = *number;
    }
  }
  logSink_({FormatLine(path, message, values), procedure_, position});
}

}  // namespace varnow
