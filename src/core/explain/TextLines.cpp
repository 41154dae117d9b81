#include "explain/TextLines.h"

#include <algorithm>

#include "text/Cp1251.h"

namespace varnow {

TextLines::TextLines(std::string_view bytes) {
  starts_.push_back(0);
  for (std::size_t at = bytes.find('\n'); at != std::string_view::npos;
       at = bytes.find('\n', at + 1)) {
    starts_.push_back(at + 1);
  }
}

std::string_view TextLines::Line(std::string_view bytes, std::size_t line) const {
  const std::size_t start = std::min(starts_[line], bytes.size());
  std::size_t end = line + 1 < starts_.size() ? starts_[line + 1] : bytes.size();
  if (end > start && bytes[end - 1] == '\n') {
    --end;
    if (end > start && bytes[end - 1] == '\r') {
      --end;
    }
  }
  return bytes.substr(start, end - start);
}

std::size_t TextLines::LineOf(Pos offset) const {
  const auto after = std::upper_bound(starts_.begin(), starts_.end(),
                                      static_cast<std::size_t>(std::max<Pos>(offset, 0)));
  return static_cast<std::size_t>(after - starts_.begin()) - 1;
}

std::string OneLine(std::string_view bytes, std::size_t most) {
  // One character a byte: cp1251 has no multi-byte characters, so cutting bytes cuts characters.
  std::string shown;
  const auto add = [&shown](std::string_view part) {
    for (std::size_t i = 0; i < part.size(); ++i) {
      const auto c = static_cast<unsigned char>(part[i]);
      if (c == '\r' && i + 1 < part.size() && part[i + 1] == '\n') {
        continue;  // CR LF is one line break
      }
      if (c == '\n' || c == '\r') {
        shown += "\u21B5";
      } else if (c == '\t') {
        shown += "\u2192";
      } else if (c < 0x20) {
        // The control pictures: U+2400 + the byte (NUL is U+2400).
        shown += static_cast<char>(0xE2);
        shown += static_cast<char>(0x90);
        shown += static_cast<char>(0x80 + c);
      } else if (c == 0x7F) {
        shown += "\u2421";
      } else {
        shown += Cp1251ToUtf8(part.substr(i, 1));
      }
    }
  };
  if (bytes.size() <= most) {
    add(bytes);
  } else {
    const std::size_t tail = most / 3;
    add(bytes.substr(0, most - tail - 1));
    shown += "\u2026";
    add(bytes.substr(bytes.size() - tail));
  }
  return shown;
}

}  // namespace varnow
