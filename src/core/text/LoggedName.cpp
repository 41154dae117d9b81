// SPDX-License-Identifier: MIT
#include "text/LoggedName.h"

#include <charconv>
#include <cstdint>

namespace varnow {
namespace {

void AppendReference(std::string& out, std::uint32_t code) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, code).ptr;
  out += "&#";
  out.append(digits, end);
  out += ';';
}

// The length of the valid UTF-8 sequence at the start of `s` (at least one byte), with its
// code point; 0 where the first byte begins none (a stray continuation byte, an overlong
// form, a surrogate, past U+10FFFF, or cut short).
std::size_t SequenceAt(std::string_view s, std::uint32_t& code) {
  const auto byte = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  std::uint32_t least = 0;
  if (lead < 0x80) {
    code = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1FU;
    least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0FU;
    least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07U;
    least = 0x10000;
  } else {
    return 0;
  }
  if (s.size() < length) {
    return 0;
  }
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) {
      return 0;
    }
    code = (code << 6) | (byte(i) & 0x3FU);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return 0;
  }
  return length;
}

bool IsControl(std::uint32_t code) {
  return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

}  // namespace

void AppendLoggedName(std::string& out, std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    // Most names are printable ASCII throughout: a run of it goes over whole.
    std::size_t plain = i;
    while (plain < bytes.size()) {
      const auto c = static_cast<unsigned char>(bytes[plain]);
      if (c < 0x20 || c >= 0x7F ||
          (c == '&' && plain + 1 < bytes.size() && bytes[plain + 1] == '#')) {
        break;
      }
      ++plain;
    }
    out.append(bytes.data() + i, plain - i);
    i = plain;
    if (i == bytes.size()) {
      break;
    }
    if (bytes[i] == '&') {
      out += "&#38;";  // the '#' after it follows as plain text
      ++i;
      continue;
    }
    std::uint32_t code = 0;
    const std::size_t length = SequenceAt(bytes.substr(i), code);
    if (length == 0) {
      AppendReference(out, 0xDC00U + static_cast<unsigned char>(bytes[i]));
      ++i;
    } else if (IsControl(code)) {
      AppendReference(out, code);
      i += length;
    } else {
      out.append(bytes.data() + i, length);
      i += length;
    }
  }
}

std::string LoggedName(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  AppendLoggedName(out, bytes);
  return out;
}

}  // namespace varnow
