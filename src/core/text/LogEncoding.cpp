// SPDX-License-Identifier: MIT
#include "text/LogEncoding.h"

#include <string>

#include "text/AsciiCase.h"

namespace varnow {

std::string_view LogEncodingName(LogEncoding encoding) {
  return encoding == LogEncoding::kUtf8 ? "utf-8" : "cp1251";
}

std::optional<LogEncoding> LogEncodingNamed(std::string_view name) {
  const std::string lower = AsciiLower(name);
  if (lower == "cp1251" || lower == "windows-1251") {
    return LogEncoding::kCp1251;
  }
  if (lower == "utf-8" || lower == "utf8") {
    return LogEncoding::kUtf8;
  }
  return std::nullopt;
}

}  // namespace varnow
