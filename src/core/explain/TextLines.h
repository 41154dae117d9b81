#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "document/Document.h"

namespace varnow {

// The lines of a page's bytes: each ends after a LF (a CR before it belongs to the line).
class TextLines {
 public:
  explicit TextLines(std::string_view bytes);

  std::size_t Count() const { return starts_.size(); }
  std::size_t Start(std::size_t line) const { return starts_[line]; }
  // The line's bytes without its line break.
  std::string_view Line(std::string_view bytes, std::size_t line) const;
  // The 0-based line holding the byte at `offset` (the last line for the end of the text).
  std::size_t LineOf(Pos offset) const;

 private:
  std::vector<std::size_t> starts_;
};

// Page bytes (cp1251) as one line of UTF-8 text: line breaks shown as "↵", a tab as "→", NUL
// as "␀", other control bytes as their pictures; longer than `most` characters, the middle
// gives way to "…".
std::string OneLine(std::string_view bytes, std::size_t most = 60);

}  // namespace varnow
