#include "text/Format.h"

namespace varnow {

std::string FormatText(std::string_view format, std::initializer_list<FormatArg> values) {
  std::string out;
  out.reserve(format.size() + 32);
  auto next = values.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%' || i + 1 == format.size()) {
      out += c;
      continue;
    }
    const char kind = format[i + 1];
    if (kind == '%') {
      out += '%';
      ++i;
      continue;
    }
    if (next != values.end()) {
      if (kind == 'd' && std::holds_alternative<std::int64_t>(*next)) {
        out += std::to_string(std::get<std::int64_t>(*next++));
        ++i;
        continue;
      }
      if (kind == 's' && std::holds_alternative<std::string_view>(*next)) {
        out += std::get<std::string_view>(*next++);
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

}  // namespace varnow
