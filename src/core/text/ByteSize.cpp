// SPDX-License-Identifier: MIT
#include "text/ByteSize.h"

#include <charconv>
#include <limits>

namespace varnow {

std::optional<std::uint64_t> ParseByteSize(std::string_view text) {
  std::uint64_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end == text.data()) {
    return std::nullopt;
  }
  const std::string_view unit(end, static_cast<std::size_t>(text.data() + text.size() - end));
  int shift = 0;
  if (unit == "K" || unit == "k") {
    shift = 10;
  } else if (unit == "M" || unit == "m") {
    shift = 20;
  } else if (unit == "G" || unit == "g") {
    shift = 30;
  } else if (unit == "T" || unit == "t") {
    shift = 40;
  } else if (!unit.empty()) {
    return std::nullopt;
  }
  if (number > (std::numeric_limits<std::uint64_t>::max() >> shift)) {
    return std::nullopt;
  }
  return number << shift;
}

}  // namespace varnow
