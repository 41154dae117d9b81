// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "explain/TextLines.h"
#include "text/PageDecoder.h"
#include "text/PageEncoding.h"

namespace varnow {
namespace {

const std::string kPrivetUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";  // Привет
const std::string kPrivet1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";

TEST(PageEncoding, ChosenAsABrowserChoosesIt) {
  const struct {
    std::string bytes;
    std::string name;
    EncodingSource source;
  } cases[] = {
      {"\xEF\xBB\xBF<p>" + kPrivet1251, "UTF-8", EncodingSource::kByteOrderMark},
      {std::string("\xFF\xFE<\0p\0", 6), "UTF-16LE", EncodingSource::kByteOrderMark},
      {std::string("\xFE\xFF\0<\0p", 6), "UTF-16BE", EncodingSource::kByteOrderMark},
      // A mark wins over what the page declares.
      {"\xEF\xBB\xBF<meta charset=koi8-r>", "UTF-8", EncodingSource::kByteOrderMark},
      {"<html><head><META CharSet=\"UTF-8\"><p>" + kPrivetUtf8, "UTF-8", EncodingSource::kDeclared},
      {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">",
       "windows-1251", EncodingSource::kDeclared},
      {"<meta content='text/html;charset=koi8-r' http-equiv='content-type'>", "KOI8-R",
       EncodingSource::kDeclared},
      // Labels as browsers read them.
      {"<meta charset=latin1>", "windows-1252", EncodingSource::kDeclared},
      {"<meta charset=\"ISO-8859-1\">", "windows-1252", EncodingSource::kDeclared},
      {"<meta charset=utf-16>" + kPrivetUtf8, "UTF-8", EncodingSource::kDeclared},
      {"<meta charset=iso-8859-5>", "ISO-8859-5", EncodingSource::kDeclared},
      {"<meta charset=shift_jis>", "CP932", EncodingSource::kDeclared},
      // A content without the http-equiv, a label in a comment or an attribute: none declared.
      {"<meta content=\"text/html; charset=koi8-r\">" + kPrivet1251, "windows-1251",
       EncodingSource::kFallback},
      {"<!-- <meta charset=koi8-r> -->" + kPrivetUtf8, "UTF-8", EncodingSource::kValidUtf8},
      {"<p title='<meta charset=koi8-r>'>" + kPrivetUtf8, "UTF-8", EncodingSource::kValidUtf8},
      // Declared after the first 1024 bytes: not looked at.
      {std::string(1024, ' ') + "<meta charset=koi8-r>", "UTF-8", EncodingSource::kValidUtf8},
      // A label iconv does not know: the rules after it decide.
      {"<meta charset=x-no-such-thing>" + kPrivetUtf8, "UTF-8", EncodingSource::kValidUtf8},
      {"<meta charset=x-no-such-thing>" + kPrivet1251, "windows-1251", EncodingSource::kFallback},
      // What the page declares holds even where its bytes say otherwise, as in a browser.
      {"<meta charset=windows-1251>" + kPrivetUtf8, "windows-1251", EncodingSource::kDeclared},
      {"<p>" + kPrivet1251, "windows-1251", EncodingSource::kFallback},
      {"", "UTF-8", EncodingSource::kValidUtf8},
  };
  for (const auto& c : cases) {
    const PageEncoding e = DetectPageEncoding(c.bytes);
    EXPECT_EQ(e.name, c.name) << c.bytes;
    EXPECT_EQ(e.source, c.source) << c.bytes;
  }
}

TEST(PageDecoder, ReadsEachEncodingAndReplacesWhatDoesNotDecode) {
  const struct {
    std::string encoding;
    std::string bytes;
    std::string text;
    std::size_t characters;
  } cases[] = {
      {"UTF-8", kPrivetUtf8 + " \xC2\xB6", "Привет ¶", 8},
      {"windows-1251", kPrivet1251, "Привет", 6},
      {"windows-1252", "caf\xE9 \x80", "café €", 6},
      {"KOI8-R", "\xF0\xD2\xC9\xD7\xC5\xD4", "Привет", 6},
      {"UTF-16LE", std::string("<\0\x1F\x04\x3D\xD8\x00\xDE", 8), "<П😀", 3},
      {"UTF-16BE", std::string("\0<\x04\x1F", 4), "<П", 2},
      {"CP932", "\x82\xA0<", "あ<", 2},
      // Bytes that do not decode: one U+FFFD each, the rest read on.
      {"UTF-8", "a\xFF\xC3(b", "a\uFFFD\uFFFD(b", 5},
      {"CP932", "\x82", "\uFFFD", 1},
      {"UTF-16LE", std::string("a\0b", 3), "a\uFFFD", 2},
  };
  for (const auto& c : cases) {
    PageEncoding encoding;
    encoding.name = c.encoding;
    encoding.unit = c.encoding.starts_with("UTF-16") ? 2 : 1;
    encoding.bigEndian = c.encoding == "UTF-16BE";
    PageDecoder decoder(encoding);
    EXPECT_EQ(decoder.ToUtf8(c.bytes), c.text) << c.encoding;
    EXPECT_EQ(decoder.CountCharacters(c.bytes), c.characters) << c.encoding;
    EXPECT_LE(decoder.CharactersAbout(c.bytes), c.bytes.size()) << c.encoding;
  }
}

TEST(PageDecoder, OneLineShowsControlsAndShortensInCharacters) {
  PageEncoding cp1251;
  cp1251.name = "windows-1251";
  PageDecoder bytes(cp1251);
  PageDecoder utf8(PageEncoding{});
  const struct {
    PageDecoder& decoder;
    std::string bytes;
    std::string shown;
  } cases[] = {
      {bytes, "a\r\nb\nc\rd", "a\u21B5b\u21B5c\u21B5d"},
      {bytes, std::string("x\0\ty", 4), "x\u2400\u2192y"},
      {bytes, kPrivet1251, "Привет"},
      {bytes, std::string(100, 'a'), std::string(39, 'a') + "\u2026" + std::string(20, 'a')},
      // Cut by characters, never inside one.
      {utf8, std::string(20, 'x') + kPrivetUtf8 + kPrivetUtf8 + std::string(50, 'y'),
       std::string(20, 'x') + "ПриветПривет" + std::string(7, 'y') + "\u2026" +
           std::string(20, 'y')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OneLine(c.bytes, c.decoder), c.shown);
  }
}

TEST(TextLines, Utf16LinesEndAtTheUnitNewline) {
  // "a\n" then U+010A ("Ċ": bytes 0A 01, a 0x0A byte that ends no line) and "b".
  const std::string text(
      "\xFF\xFE"
      "a\0\n\0\x0A\x01\r\0\n\0b\0",
      14);
  const PageEncoding e = DetectPageEncoding(text);
  const TextLines lines(text, e);
  ASSERT_EQ(lines.Count(), 3u);
  EXPECT_EQ(lines.Line(text, 0), std::string("a\0", 2));  // the mark is not part of it
  EXPECT_EQ(lines.Line(text, 1), std::string("\x0A\x01", 2));
  EXPECT_EQ(lines.Line(text, 2), std::string("b\0", 2));
  EXPECT_EQ(lines.LineOf(0), 0u);
  EXPECT_EQ(lines.LineOf(12), 2u);
}

}  // namespace
}  // namespace varnow
