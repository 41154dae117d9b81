// SPDX-License-Identifier: MIT
#pragma once

#include <cctype>
#include <string_view>

namespace varnow::test {

inline bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

inline bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// `prefix` followed by an elapsed time of under ten seconds as the run writes it, "0:00:0N".
inline bool IsPrefixAndShortElapsed(std::string_view s, std::string_view prefix) {
  if (!StartsWith(s, prefix)) {
    return false;
  }
  const std::string_view time = s.substr(prefix.size());
  return time.size() == 7 && StartsWith(time, "0:00:0") &&
         std::isdigit(static_cast<unsigned char>(time[6]));
}

}  // namespace varnow::test
