// SPDX-License-Identifier: MIT
// The system's decoder on Windows: the code-page functions, one character at a time. Windows
// names code pages by number, so the iconv names the program uses are looked up in a table;
// UTF-16 and UTF-32, which MultiByteToWideChar does not read, are decoded here.
//
// A character is the shortest run of bytes at the start (1 up to the code page's longest
// character) that MultiByteToWideChar turns into exactly one code point with
// MB_ERR_INVALID_CHARS set; when none does and the bytes end before the longest character,
// the character is incomplete, else invalid. Stateful code pages (ISO-2022) are left out:
// their functions do not decode piece by piece, so they are not offered.
#include "platform/SystemDecoder.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdint>

namespace varnow {
namespace {

struct CodePageRow {
  const char* name;  // upper case, as iconv spells it
  unsigned codePage;
};

// Code pages above 1000 that are not the Windows ones: by their number in Windows.
constexpr unsigned kUtf16Le = 1200;
constexpr unsigned kUtf16Be = 1201;
constexpr unsigned kUtf32Le = 12000;
constexpr unsigned kUtf32Be = 12001;
// Its four-byte characters begin with bytes that are no lead bytes of two.
constexpr unsigned kGb18030 = 54936;

constexpr std::array kCodePages{
    CodePageRow{"UTF-16LE", kUtf16Le}, CodePageRow{"UTF-16BE", kUtf16Be},
    CodePageRow{"UTF-32LE", kUtf32Le}, CodePageRow{"UTF-32BE", kUtf32Be},
    CodePageRow{"WINDOWS-874", 874},   CodePageRow{"CP874", 874},
    CodePageRow{"WINDOWS-1250", 1250}, CodePageRow{"CP1250", 1250},
    CodePageRow{"WINDOWS-1251", 1251}, CodePageRow{"CP1251", 1251},
    CodePageRow{"WINDOWS-1252", 1252}, CodePageRow{"CP1252", 1252},
    CodePageRow{"WINDOWS-1253", 1253}, CodePageRow{"CP1253", 1253},
    CodePageRow{"WINDOWS-1254", 1254}, CodePageRow{"CP1254", 1254},
    CodePageRow{"WINDOWS-1255", 1255}, CodePageRow{"CP1255", 1255},
    CodePageRow{"WINDOWS-1256", 1256}, CodePageRow{"CP1256", 1256},
    CodePageRow{"WINDOWS-1257", 1257}, CodePageRow{"CP1257", 1257},
    CodePageRow{"WINDOWS-1258", 1258}, CodePageRow{"CP1258", 1258},
    CodePageRow{"IBM866", 866},        CodePageRow{"CP866", 866},
    CodePageRow{"866", 866},           CodePageRow{"IBM437", 437},
    CodePageRow{"CP437", 437},         CodePageRow{"IBM850", 850},
    CodePageRow{"CP850", 850},         CodePageRow{"IBM855", 855},
    CodePageRow{"CP855", 855},         CodePageRow{"KOI8-R", 20866},
    CodePageRow{"KOI8-U", 21866},      CodePageRow{"ISO-8859-1", 28591},
    CodePageRow{"ISO-8859-2", 28592},  CodePageRow{"ISO-8859-3", 28593},
    CodePageRow{"ISO-8859-4", 28594},  CodePageRow{"ISO-8859-5", 28595},
    CodePageRow{"ISO-8859-6", 28596},  CodePageRow{"ISO-8859-7", 28597},
    CodePageRow{"ISO-8859-8", 28598},  CodePageRow{"ISO-8859-9", 28599},
    CodePageRow{"ISO-8859-13", 28603}, CodePageRow{"ISO-8859-15", 28605},
    CodePageRow{"CP932", 932},         CodePageRow{"SHIFT_JIS", 932},
    CodePageRow{"GBK", 936},           CodePageRow{"CP936", 936},
    CodePageRow{"GB2312", 936},        CodePageRow{"GB18030", kGb18030},
    CodePageRow{"CP949", 949},         CodePageRow{"EUC-KR", 949},
    CodePageRow{"BIG5", 950},          CodePageRow{"BIG5-HKSCS", 950},
    CodePageRow{"CP950", 950},         CodePageRow{"EUC-JP", 20932},
    CodePageRow{"MACINTOSH", 10000},   CodePageRow{"MAC-CYRILLIC", 10007},
    CodePageRow{"US-ASCII", 20127},
};

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The code page `encoding` names, or 0; a code page Windows has no table of counts as none.
unsigned CodePageOf(const std::string& encoding) {
  std::string upper(encoding);
  std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
  for (const CodePageRow& row : kCodePages) {
    if (upper == row.name) {
      if (row.codePage == kUtf16Le || row.codePage == kUtf16Be || row.codePage == kUtf32Le ||
          row.codePage == kUtf32Be || ::IsValidCodePage(row.codePage)) {
        return row.codePage;
      }
      return 0;
    }
  }
  return 0;
}

bool IsSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

}  // namespace

struct SystemDecoder::State {
  unsigned codePage = 0;
  std::size_t longest = 1;  // bytes of the code page's longest character
};

bool SystemDecodes(const std::string& encoding) {
  return CodePageOf(encoding) != 0;
}

std::unique_ptr<SystemDecoder> SystemDecoder::Open(const std::string& encoding) {
  const unsigned codePage = CodePageOf(encoding);
  if (codePage == 0) {
    return nullptr;
  }
  auto state = std::make_unique<State>();
  state->codePage = codePage;
  if (codePage == kUtf16Le || codePage == kUtf16Be || codePage == kUtf32Le ||
      codePage == kUtf32Be) {
    state->longest = 4;
  } else {
    CPINFO info{};
    state->longest = ::GetCPInfo(codePage, &info) ? std::max<UINT>(info.MaxCharSize, 1) : 1;
  }
  return std::unique_ptr<SystemDecoder>(new SystemDecoder(std::move(state)));
}

SystemDecoder::SystemDecoder(std::unique_ptr<State> state) : state_(std::move(state)) {}

SystemDecoder::~SystemDecoder() = default;

// No code page offered keeps a state between characters.
void SystemDecoder::Restart() {}

SystemDecoder::Step SystemDecoder::Next(std::string_view bytes) {
  const unsigned codePage = state_->codePage;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };

  if (codePage == kUtf32Le || codePage == kUtf32Be) {
    if (bytes.size() < 4) {
      return {Outcome::kIncomplete, 0, 0};
    }
    char32_t c = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      const std::size_t from = codePage == kUtf32Le ? 3 - i : i;
      c = (c << 8) | byte(from);
    }
    if (c > 0x10FFFF || IsSurrogate(c)) {
      return {Outcome::kInvalid, 0, 0};
    }
    return {Outcome::kCharacter, c, 4};
  }

  if (codePage == kUtf16Le || codePage == kUtf16Be) {
    const auto unit = [&](std::size_t at) -> char32_t {
      return codePage == kUtf16Le ? byte(at) | (byte(at + 1) << 8) : (byte(at) << 8) | byte(at + 1);
    };
    if (bytes.size() < 2) {
      return {Outcome::kIncomplete, 0, 0};
    }
    const char32_t first = unit(0);
    if (!IsSurrogate(first)) {
      return {Outcome::kCharacter, first, 2};
    }
    if (first >= 0xDC00) {
      return {Outcome::kInvalid, 0, 0};
    }
    if (bytes.size() < 4) {
      return {Outcome::kIncomplete, 0, 0};
    }
    const char32_t second = unit(2);
    if (second < 0xDC00 || second > 0xDFFF) {
      return {Outcome::kInvalid, 0, 0};
    }
    return {Outcome::kCharacter, 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00), 4};
  }

  const std::size_t longest = std::min(state_->longest, bytes.size());
  for (std::size_t length = 1; length <= longest; ++length) {
    wchar_t wide[4];
    const int n = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                        static_cast<int>(length), wide, 4);
    if (n == 1 && !IsSurrogate(wide[0])) {
      return {Outcome::kCharacter, static_cast<char32_t>(wide[0]), length};
    }
    if (n == 2 && wide[0] >= 0xD800 && wide[0] < 0xDC00 && wide[1] >= 0xDC00 && wide[1] <= 0xDFFF) {
      const char32_t c = 0x10000 + ((static_cast<char32_t>(wide[0]) - 0xD800) << 10) +
                         (static_cast<char32_t>(wide[1]) - 0xDC00);
      return {Outcome::kCharacter, c, length};
    }
    if (n > 0) {
      break;  // more than one character: the first byte alone was none
    }
  }
  if (bytes.size() < state_->longest &&
      (::IsDBCSLeadByteEx(codePage, byte(0)) || codePage == kGb18030)) {
    return {Outcome::kIncomplete, 0, 0};
  }
  return {Outcome::kInvalid, 0, 0};
}

}  // namespace varnow
