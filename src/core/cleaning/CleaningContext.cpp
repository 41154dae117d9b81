#include "cleaning/CleaningContext.h"

namespace varnow {

void CleaningContext::LogChange(std::string_view path, std::string_view message,
                                std::initializer_list<FormatArg> values) {
  ++changeCount_;
  if (logSink_) {
    logSink_(FormatLine(path, message, values));
  }
}

void CleaningContext::PumpMessages() {
  if (pump_) {
    pump_();
  }
}

}  // namespace varnow
