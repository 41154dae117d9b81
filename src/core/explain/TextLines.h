// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "document/Document.h"
#include "text/PageDecoder.h"
#include "text/PageEncoding.h"

namespace varnow {

// The lines of a page's bytes: each ends after a LF (a CR before it belongs to the line). In
// UTF-16 a line ends after the unit U+000A, never at a byte 0x0A inside another character.
class TextLines {
 public:
  explicit TextLines(std::string_view bytes, const PageEncoding& encoding = {});

  std::size_t Count() const { return starts_.size(); }
  std::size_t Start(std::size_t line) const { return starts_[line]; }
  // The line's bytes without its line break.
  std::string_view Line(std::string_view bytes, std::size_t line) const;
  // The 0-based line holding the byte at `offset` (the last line for the end of the text, the
  // first for a byte-order mark).
  std::size_t LineOf(Pos offset) const;

 private:
  // Whether the unit of the text at `at` (one byte, or two of UTF-16) is the character `c`.
  bool IsUnit(std::string_view bytes, std::size_t at, char c) const;

  std::vector<std::size_t> starts_;
  std::size_t unit_ = 1;
  bool bigEndian_ = false;
};

// How a character of a page is shown on one line: a line break as "↵", a tab as "→", NUL as
// "␀", another control character as its picture; every other character as itself.
char32_t ShownCharacter(char32_t c);

// Page bytes, read by `decoder`, as one line of UTF-8 text, each character as ShownCharacter
// shows it (CR LF as one "↵"); longer than `most` characters, the middle gives way to "…".
std::string OneLine(std::string_view bytes, PageDecoder& decoder, std::size_t most = 60);

}  // namespace varnow
