// SPDX-License-Identifier: MIT
#include "settings/Switches.h"

#include <optional>
#include <string>

#include "settings/IniLines.h"
#include "settings/SettingsErrors.h"
#include "text/AsciiCase.h"
#include "text/Format.h"

namespace varnow {
namespace {

// A decimal integer with an optional sign, of any length: only whether it is zero matters.
std::optional<bool> ParseDecimal(std::string_view s) {
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    s.remove_prefix(1);
  }
  if (s.empty()) {
    return std::nullopt;
  }
  bool nonZero = false;
  for (const char c : s) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    nonZero = nonZero || c != '0';
  }
  return nonZero;
}

}  // namespace

std::string_view SwitchText(bool checked) {
  return checked ? "-1" : "0";
}

bool ParseSwitch(std::string_view value) {
  // Blanks around the value come from hand-edited files ("RmScript = -1"); they carry nothing.
  const std::string_view text = ini::Trim(value);
  if (const std::optional<bool> number = ParseDecimal(text)) {
    return *number;
  }
  const std::string upper = AsciiUpper(text);
  if (upper == "TRUE") {
    return true;
  }
  if (upper == "FALSE") {
    return false;
  }
  throw ConversionError(MakeError(ErrorId::kNotASwitch, {value}));
}

}  // namespace varnow
