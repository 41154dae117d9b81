// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/ReferenceConverter.h"

#include "text/Cp1251.h"

namespace varnow {
namespace {

// The system's own converter, as the independent reference.
std::string Iconv(const char* to, const char* from, const std::string& in, bool& ok) {
  const std::optional<std::string> out = test::ConvertBySystem(to, from, in);
  ok = out.has_value();
  return out.value_or(std::string());
}

// Every pair of bytes after an ASCII letter, and a three-byte tail, is UTF-8 exactly when iconv
// reads it as UTF-8.
TEST(Utf8, ValidExactlyWhereIconvReadsIt) {
  for (int lead = 0x80; lead < 256; ++lead) {
    for (int next = 0; next < 256; ++next) {
      for (const char* tail : {"", "\x80\x80"}) {
        const std::string text =
            std::string("a") + static_cast<char>(lead) + static_cast<char>(next) + tail;
        bool ok = false;
        Iconv("UTF-16LE", "UTF-8", text, ok);
        EXPECT_EQ(IsValidUtf8(text), ok) << std::hex << lead << " " << next << " " << tail;
      }
    }
  }
}

TEST(Cp1251, EveryDefinedByteDecodesAsIconvDoes) {
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    bool ok = false;
    const std::string reference = Iconv("UTF-8", "CP1251", byte, ok);
    if (b == 0x98) {
      // The one byte the code page leaves undefined: iconv refuses it, Windows carries it as
      // U+0098, and so does the program.
      EXPECT_TRUE(!ok || reference == "\xC2\x98") << "the system now defines 0x98";
      EXPECT_EQ(Cp1251ToUtf8(byte), "\xC2\x98");
      continue;
    }
    ASSERT_TRUE(ok) << b;
    EXPECT_EQ(Cp1251ToUtf8(byte), reference) << "byte " << b;
    EXPECT_EQ(Utf8ToCp1251(reference), byte) << "byte " << b;
  }
}

TEST(Cp1251, AnyByteStringSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) {
    all += static_cast<char>(b);
  }
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
  EXPECT_EQ(Utf8ToCp1251Exact(Cp1251ToUtf8(all)), all);
}

TEST(Cp1251, RussianTextsOfTheProgram) {
  const std::string text = "Файл сгенерирован программой Varnow 0.9.9";
  bool ok = false;
  const std::string reference = Iconv("CP1251", "UTF-8", text, ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(Utf8ToCp1251(text), reference);
  EXPECT_EQ(Cp1251ToUtf8(reference), text);
}

TEST(Cp1251, LongMixedTextsConvertAsIconvDoes) {
  // ASCII runs of every length around the eight-byte steps, between Cyrillic letters.
  std::string text;
  for (int run = 0; run < 40; ++run) {
    text += std::string(static_cast<std::size_t>(run), static_cast<char>('a' + run % 26));
    text += run % 3 == 0 ? "ж" : "№ё";
  }
  bool ok = false;
  const std::string reference = Iconv("CP1251", "UTF-8", text, ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(Utf8ToCp1251(text), reference);
  std::string appended = "prefix";
  AppendUtf8AsCp1251(appended, text);
  EXPECT_EQ(appended, "prefix" + reference);
}

// A log line mixes UTF-8 texts with names whose bytes came from a cp1251 system.
TEST(Cp1251, LogLinesKeepBytesThatAreNotUtf8) {
  struct Case {
    std::string_view line;
    std::string_view logged;  // in log.txt
    std::string_view shown;   // in the window
  };
  const Case cases[] = {
      {"/a/\xE0\xE1.htm удален", "/a/\xE0\xE1.htm \xF3\xE4\xE0\xEB\xE5\xED", "/a/аб.htm удален"},
      // What cp1251 lacks becomes its reference (a name's own "&#" comes escaped already).
      {"/a/中é.htm", "/a/&#20013;&#233;.htm", "/a/中é.htm"},
      {"/a/&#38;#1;&x.htm", "/a/&#38;#1;&x.htm", "/a/&#38;#1;&x.htm"},
      {"/abcdefgh/a&b/ж/x&#38;#", "/abcdefgh/a&b/\xE6/x&#38;#", "/abcdefgh/a&b/ж/x&#38;#"},
      {"\xE0 жé😀", "\xE0 \xE6&#233;&#128512;", "а жé😀"},
      {"x\xC3", "x\xC3", "xГ"},  // a sequence cut short
      {"\xD0"
       "A ж",
       "\xD0"
       "A \xE6",
       "РA ж"},                                 // a lead byte without its second
      {"\xC0\xAF/ж", "\xC0\xAF/\xE6", "АЇ/ж"},  // an overlong form is no UTF-8
      {"plain ascii line", "plain ascii line", "plain ascii line"},
  };
  for (const Case& c : cases) {
    std::string logged;
    AppendLogLineAsCp1251(logged, c.line);
    EXPECT_EQ(logged, c.logged) << c.line;
    std::string utf8;
    AppendLogLineAsUtf8(utf8, c.line);
    EXPECT_EQ(utf8, c.shown) << c.line;
    EXPECT_EQ(IsValidUtf8(c.line), c.line == c.shown) << c.line;
    EXPECT_EQ(InvalidBytesAsCp1251(c.line), c.shown) << c.line;
  }
}

// Every character of the Cyrillic block in a log line, Russian letters taken two bytes at once
// among them, with a cut-short sequence at the line's end: as iconv has it, or as a reference
// where cp1251 lacks the character.
TEST(Cp1251, CyrillicBlockInLogLinesConvertsAsIconvDoes) {
  for (char32_t cp = 0x0400; cp <= 0x045F; ++cp) {
    std::string character;
    AppendUtf8(character, cp);
    const std::string line = "/a/ж" + character + "я.htm \xD0";
    bool ok = false;
    const std::string reference = Iconv("CP1251", "UTF-8", "/a/ж" + character + "я.htm ", ok);
    std::string logged;
    AppendLogLineAsCp1251(logged, line);
    if (ok) {
      EXPECT_EQ(logged, reference + "\xD0") << static_cast<unsigned>(cp);
    } else {
      EXPECT_EQ(logged, "/a/\xE6&#" + std::to_string(static_cast<unsigned>(cp)) + ";\xFF.htm \xD0")
          << static_cast<unsigned>(cp);
    }
  }
}

TEST(Cp1251, CharactersItCannotHoldBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1251("a\xE4\xB8\xAD"
                         "b"),
            "a?b");                                  // a CJK letter
  EXPECT_EQ(Utf8ToCp1251("\xF0\x9F\x98\x80"), "?");  // an emoji
  EXPECT_EQ(Utf8ToCp1251("x\xFFy\xC3"), "x?y?");     // malformed UTF-8
  EXPECT_EQ(Utf8ToCp1251("\xC0\xAF"), "??");         // overlong form
  EXPECT_EQ(Utf8ToCp1251Exact("a\xE4\xB8\xAD"), std::nullopt);
  EXPECT_EQ(Utf8ToCp1251Exact("ё№"), std::string("\xB8\xB9"));
}

}  // namespace
}  // namespace varnow
