// SPDX-License-Identifier: MIT
#include "text/Cp1251.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace varnow {
namespace {

// Unicode code points of the bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
constexpr std::array<char16_t, 64> kHighTable = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

char32_t ByteToCodePoint(unsigned char b) {
  if (b < 0x80) {
    return b;
  }
  if (b >= 0xC0) {
    return 0x0410 + (b - 0xC0);
  }
  return kHighTable[b - 0x80];
}

std::optional<char> CodePointToByte(char32_t cp) {
  if (cp < 0x80) {
    return static_cast<char>(cp);
  }
  if (cp >= 0x0410 && cp <= 0x044F) {
    return static_cast<char>(0xC0 + (cp - 0x0410));
  }
  for (std::size_t i = 0; i < kHighTable.size(); ++i) {
    if (kHighTable[i] == cp) {
      return static_cast<char>(0x80 + i);
    }
  }
  return std::nullopt;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

namespace {

// Decodes one UTF-8 sequence at `i`; advances `i`. Gives nothing for a malformed sequence,
// after which `i` stands one byte further. Inlined into the conversion of every log line.
[[gnu::always_inline]] inline std::optional<char32_t> DecodeUtf8At(std::string_view s,
                                                                   std::size_t& i) {
  const auto lead = static_cast<unsigned char>(s[i++]);
  if (lead < 0x80) {
    return lead;
  }
  int extra = 0;
  char32_t cp = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    cp = lead & 0x07;
  } else {
    return std::nullopt;
  }
  const std::size_t start = i;
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      i = start;
      return std::nullopt;
    }
    cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  }
  static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    i = start;
    return std::nullopt;
  }
  return cp;
}

}  // namespace

std::optional<char32_t> NextCodePoint(std::string_view s, std::size_t& i) {
  return DecodeUtf8At(s, i);
}

std::string Cp1251ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    AppendUtf8(out, ByteToCodePoint(static_cast<unsigned char>(c)));
  }
  return out;
}

std::string Utf8ToCp1251(std::string_view text, char replacement) {
  std::string out;
  AppendUtf8AsCp1251(out, text, replacement);
  return out;
}

namespace {

// What becomes of a byte that does not begin a valid UTF-8 sequence, and of a character cp1251
// lacks: both `replacement` (a text of the program's own files), or, in a log line, the byte
// kept and the character written as its decimal reference.
enum class Invalid { kReplace, kKeep };

// A log line from `text` on, a character at a time: a character cp1251 lacks as "&#NNN;".
// (A name's own "&#" comes escaped already, as LoggedName writes names.)
void AppendLogLineWithReferences(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) < 0x80) {
      out += c;
      ++i;
      continue;
    }
    std::size_t next = i;
    const std::optional<char32_t> cp = NextCodePoint(text, next);
    if (!cp) {
      out += c;  // a name's byte that is not UTF-8: cp1251 already, kept
      i = next;
      continue;
    }
    if (const std::optional<char> byte = CodePointToByte(*cp)) {
      out += *byte;
    } else {
      out += "&#" + std::to_string(static_cast<std::uint32_t>(*cp)) + ";";
    }
    i = next;
  }
}

void AppendConverted(std::string& out, std::string_view text, char replacement, Invalid invalid) {
  // Appended as they are, then converted in place: a character never takes more bytes in
  // cp1251 than in UTF-8, so what is written never overtakes what is still to be read, and the
  // buffer is neither zero-filled nor grown past the text's own size. (A reference is longer:
  // from the first one on, the line is written a character at a time.)
  const std::size_t start = out.size();
  out.append(text);
  char* const bytes = out.data() + start;
  const std::string_view appended(bytes, text.size());
  std::size_t from = 0;
  std::size_t to = 0;
  while (from < appended.size()) {
    // Log lines are mostly ASCII: move it eight bytes at a time while no byte has bit 7 set.
    while (appended.size() - from >= 8) {
      std::uint64_t word;
      std::memcpy(&word, bytes + from, 8);
      if ((word & 0x8080808080808080ULL) != 0) {
        break;
      }
      if (to != from) {
        std::memcpy(bytes + to, &word, 8);
      }
      from += 8;
      to += 8;
    }
    if (from == appended.size()) {
      break;
    }
    const auto lead = static_cast<unsigned char>(bytes[from]);
    if (lead < 0x80) {
      bytes[to++] = bytes[from++];
      continue;
    }
    // The Russian letters А..я, most of what is not ASCII in a log line, are two bytes in UTF-8
    // and lie in one run in both encodings: D0 90..D0 BF is C0..EF, D1 80..D1 8F is F0..FF.
    if ((lead == 0xD0 || lead == 0xD1) && from + 1 < appended.size()) {
      const auto next = static_cast<unsigned char>(bytes[from + 1]);
      if (lead == 0xD0 ? next >= 0x90 && next <= 0xBF : next >= 0x80 && next <= 0x8F) {
        bytes[to++] = static_cast<char>(lead == 0xD0 ? next + 0x30 : next + 0x70);
        from += 2;
        continue;
      }
    }
    const std::size_t at = from;
    const char first = bytes[from];
    const auto cp = DecodeUtf8At(appended, from);
    const std::optional<char> byte = cp ? CodePointToByte(*cp) : std::nullopt;
    if (!cp && invalid == Invalid::kKeep) {
      bytes[to++] = first;
    } else if (cp && !byte && invalid == Invalid::kKeep) {
      out.resize(start + to);
      AppendLogLineWithReferences(out, text.substr(at));
      return;
    } else {
      bytes[to++] = byte.value_or(replacement);
    }
  }
  out.resize(start + to);
}

}  // namespace

void AppendUtf8AsCp1251(std::string& out, std::string_view text, char replacement) {
  AppendConverted(out, text, replacement, Invalid::kReplace);
}

void AppendLogLineAsUtf8(std::string& out, std::string_view line) {
  if (IsValidUtf8(line)) {
    out += line;
  } else {
    out += InvalidBytesAsCp1251(line);
  }
}

void AppendLogLineAsCp1251(std::string& out, std::string_view line) {
  AppendConverted(out, line, '?', Invalid::kKeep);
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    std::uint64_t word;
    if (text.size() - i >= 8 && (std::memcpy(&word, text.data() + i, 8), true) &&
        (word & 0x8080808080808080ULL) == 0) {
      i += 8;  // eight ASCII bytes
    } else if (const auto lead = static_cast<unsigned char>(text[i]); lead < 0x80) {
      ++i;
    } else if (lead >= 0xC2 && lead <= 0xDF && i + 1 < text.size() &&
               (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      i += 2;  // a two-byte character (Cyrillic, Latin with marks), the most common kind here
    } else if (!NextCodePoint(text, i)) {
      return false;
    }
  }
  return true;
}

std::string InvalidBytesAsCp1251(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    if (NextCodePoint(text, i)) {
      out.append(text.substr(start, i - start));
    } else {
      AppendUtf8(out, ByteToCodePoint(static_cast<unsigned char>(text[start])));
    }
  }
  return out;
}

std::optional<std::string> Utf8ToCp1251Exact(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto cp = NextCodePoint(text, i);
    const auto byte = cp ? CodePointToByte(*cp) : std::nullopt;
    if (!byte) {
      return std::nullopt;
    }
    out += *byte;
  }
  return out;
}

std::string_view ShownAsText(std::string_view text, std::string& storage) {
  if (IsValidUtf8(text)) {
    return text;
  }
  storage = InvalidBytesAsCp1251(text);
  return storage;
}

}  // namespace varnow
