#include "text/Format.h"

#include <charconv>

namespace varnow {

void AppendFormatted(std::string& out, std::string_view format,
                     std::initializer_list<FormatArg> values) {
  auto next = values.begin();
  while (!format.empty()) {
    // The text up to the next placeholder goes over in one piece.
    const std::size_t percent = format.find('%');
    if (percent == std::string_view::npos || percent + 1 == format.size()) {
      out.append(format);
      return;
    }
    out.append(format.substr(0, percent));
    const char kind = format[percent + 1];
    format.remove_prefix(percent + 2);
    if (kind == '%') {
      out += '%';
    } else if (kind == 'd' && next != values.end() && std::holds_alternative<std::int64_t>(*next)) {
      char digits[24];
      const auto end = std::to_chars(digits, digits + sizeof digits, std::get<std::int64_t>(*next++));
      out.append(digits, end.ptr);
    } else if (kind == 's' && next != values.end() &&
               std::holds_alternative<std::string_view>(*next)) {
      out.append(std::get<std::string_view>(*next++));
    } else {
      // Unknown, or without a fitting value: left as written.
      out += '%';
      out += kind;
    }
  }
}

std::string FormatText(std::string_view format, std::initializer_list<FormatArg> values) {
  std::string out;
  out.reserve(format.size() + 32);
  AppendFormatted(out, format, values);
  return out;
}

}  // namespace varnow
