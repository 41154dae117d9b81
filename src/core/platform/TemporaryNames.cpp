// SPDX-License-Identifier: MIT
#include "platform/TemporaryNames.h"

#include <cctype>
#include <cstdio>

namespace varnow {

std::string TemporaryFileName(std::uint32_t bits) {
  char name[16];
  std::snprintf(name, sizeof name, ".vn%08x.t", static_cast<unsigned>(bits));
  return name;
}

bool IsTemporaryName(std::string_view name) {
  const bool named = name.size() == 13 && name.ends_with(".t");
  const bool namedBefore = name.size() == 15 && name.ends_with(".tmp");
  if (!(named || namedBefore) || !name.starts_with(".vn")) {
    return false;
  }
  for (const char c : name.substr(3, 8)) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) {
      return false;
    }
  }
  return true;
}

}  // namespace varnow
