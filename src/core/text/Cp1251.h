// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varnow {

// Code page 1251, the 8-bit format of the files the program stores (the settings file and
// log.txt). Texts inside the program are UTF-8.
//
// The byte 0x98 has no character in cp1251; it is carried as U+0098 both ways, so that any
// byte string survives a round trip through text.

// Every byte becomes one character; never fails.
std::string Cp1251ToUtf8(std::string_view bytes);

// A character that cp1251 cannot hold, and a byte that is not valid UTF-8, become `replacement`.
std::string Utf8ToCp1251(std::string_view text, char replacement = '?');
// The same conversion, appended to `out`.
void AppendUtf8AsCp1251(std::string& out, std::string_view text, char replacement = '?');

// A log line for log.txt, appended to `out`. A line mixes the program's UTF-8 texts with file
// names as the system gave them: a name's bytes that are not valid UTF-8 are most likely cp1251
// already (a site unpacked from a cp1251 system) and are written unchanged; valid UTF-8 is
// converted, a character cp1251 cannot hold written as its decimal character reference
// ("caf&#233;.htm"), so that no name is lost (names come written as LoggedName writes them,
// their own "&#" escaped, so that no two collide).
void AppendLogLineAsCp1251(std::string& out, std::string_view line);
// The same line for a UTF-8 log.txt: valid UTF-8 as it is, a name's bytes that are not UTF-8
// read as the cp1251 characters they stand for (as the window shows them).
void AppendLogLineAsUtf8(std::string& out, std::string_view line);

bool IsValidUtf8(std::string_view text);
// Decodes the UTF-8 sequence at `i` and advances `i` past it; nothing for a malformed sequence
// (an overlong form, a surrogate, a cut one), after which `i` stands one byte further.
std::optional<char32_t> NextCodePoint(std::string_view s, std::size_t& i);
// The code point as UTF-8, appended to `out`.
void AppendUtf8(std::string& out, char32_t cp);
// Valid UTF-8 as it is, and every byte that is not part of it read as cp1251: such a line
// shown as text.
std::string InvalidBytesAsCp1251(std::string_view text);
// `text` as it is shown: itself where it is valid UTF-8 (no copy), else InvalidBytesAsCp1251
// of it, kept in `storage`.
std::string_view ShownAsText(std::string_view text, std::string& storage);

// The same conversion, but nothing is replaced: empty when any character cannot be held.
std::optional<std::string> Utf8ToCp1251Exact(std::string_view text);

}  // namespace varnow
