// SPDX-License-Identifier: MIT
#include "support/LiteralDocument.h"

#include "text/AsciiCase.h"

namespace varnow::test {

Pos LiteralDocument::FindPattern(std::string_view pattern) {
  if (pattern.empty()) {
    return 0;
  }
  const std::string copy = AsciiUpper(text_);
  const auto at = copy.find(pattern);
  return at == std::string::npos ? 0 : static_cast<Pos>(at) + 1;
}

bool LiteralDocument::PatternRemains(std::string_view pattern) {
  // Both texts are read as NUL-terminated strings.
  const std::string copy = AsciiUpper(text_);
  const std::string_view text(copy.c_str());
  const std::string_view needle = pattern.substr(0, pattern.find('\0'));
  if (needle.empty()) {
    return false;
  }
  return text.find(needle) != std::string_view::npos;
}

Pos LiteralDocument::FindTagEnd(Pos start) {
  for (Pos i = start < 1 ? 1 : start; i <= Length(); ++i) {
    if (text_[static_cast<std::size_t>(i - 1)] == '>') {
      return i;
    }
  }
  return 0;
}

void LiteralDocument::Delete(Pos index, Pos count) {
  if (index < 1 || index > Length() || count <= 0) {
    return;
  }
  text_.erase(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count));
}

void LiteralDocument::Insert(std::string_view text, Pos index) {
  const Pos at = index < 1 ? 1 : (index > Length() ? Length() + 1 : index);
  text_.insert(static_cast<std::size_t>(at - 1), text);
}

}  // namespace varnow::test
