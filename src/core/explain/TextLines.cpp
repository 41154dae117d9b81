// SPDX-License-Identifier: MIT
#include "explain/TextLines.h"

#include <algorithm>

#include "text/Cp1251.h"

namespace varnow {

TextLines::TextLines(std::string_view bytes, const PageEncoding& encoding)
    : unit_(encoding.unit), bigEndian_(encoding.bigEndian) {
  // A byte-order mark is no part of the first line's text.
  starts_.push_back(std::min(encoding.bomLength, bytes.size()));
  if (unit_ == 1) {
    for (std::size_t at = bytes.find('\n', starts_.front()); at != std::string_view::npos;
         at = bytes.find('\n', at + 1)) {
      starts_.push_back(at + 1);
    }
    return;
  }
  for (std::size_t at = starts_.front(); at + unit_ <= bytes.size(); at += unit_) {
    if (IsUnit(bytes, at, '\n')) {
      starts_.push_back(at + unit_);
    }
  }
}

bool TextLines::IsUnit(std::string_view bytes, std::size_t at, char c) const {
  if (unit_ == 1) {
    return bytes[at] == c;
  }
  const std::size_t low = bigEndian_ ? at + 1 : at;
  const std::size_t high = bigEndian_ ? at : at + 1;
  return bytes[low] == c && bytes[high] == '\0';
}

std::string_view TextLines::Line(std::string_view bytes, std::size_t line) const {
  const std::size_t start = std::min(starts_[line], bytes.size());
  std::size_t end = line + 1 < starts_.size() ? starts_[line + 1] : bytes.size();
  if (end >= start + unit_ && IsUnit(bytes, end - unit_, '\n')) {
    end -= unit_;
    if (end >= start + unit_ && IsUnit(bytes, end - unit_, '\r')) {
      end -= unit_;
    }
  }
  return bytes.substr(start, end - start);
}

std::size_t TextLines::LineOf(Pos offset) const {
  if (offset < static_cast<Pos>(starts_.front())) {
    return 0;
  }
  const auto after = std::upper_bound(starts_.begin(), starts_.end(),
                                      static_cast<std::size_t>(std::max<Pos>(offset, 0)));
  return static_cast<std::size_t>(after - starts_.begin()) - 1;
}

char32_t ShownCharacter(char32_t c) {
  if (c == '\n' || c == '\r') {
    return 0x21B5;
  }
  if (c == '\t') {
    return 0x2192;
  }
  if (c < 0x20) {
    return 0x2400 + c;  // the control pictures: NUL is U+2400
  }
  return c == 0x7F ? 0x2421 : c;
}

std::string OneLine(std::string_view bytes, PageDecoder& decoder, std::size_t most) {
  std::vector<char32_t> characters;
  decoder.Restart();
  for (std::size_t at = 0; at < bytes.size();) {
    if (const std::optional<char32_t> c = decoder.Next(bytes, at)) {
      if (*c == '\n' && !characters.empty() && characters.back() == '\r') {
        characters.back() = '\n';  // CR LF is one line break
        continue;
      }
      characters.push_back(*c);
    }
  }
  std::string shown;
  const auto add = [&shown, &characters](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      AppendUtf8(shown, ShownCharacter(characters[i]));
    }
  };
  if (characters.size() <= most) {
    add(0, characters.size());
  } else {
    const std::size_t tail = most / 3;
    add(0, most - tail - 1);
    shown += "\u2026";
    add(characters.size() - tail, characters.size());
  }
  return shown;
}

}  // namespace varnow
