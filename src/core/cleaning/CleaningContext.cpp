#include "cleaning/CleaningContext.h"

namespace varnow {

void CleaningContext::LogChange(std::string_view path, std::string_view message,
                                std::initializer_list<FormatArg> values) {
  ++changeCount_;
  if (logSink_) {
    std::string line;
    line.reserve(path.size() + message.size() + 24);
    line.append(path);
    AppendFormatted(line, message, values);
    logSink_(std::move(line));
  }
}

void CleaningContext::PumpMessages() {
  if (pump_) {
    pump_();
  }
}

}  // namespace varnow
