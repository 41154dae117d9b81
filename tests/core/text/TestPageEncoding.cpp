// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
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

// Every byte of the single-byte code pages that pages come in, read as the system's converter
// (iconv) reads it, bytes 0x80-0xFF (the rest is ASCII); U+FFFD where the code page has no
// character. Windows carries such a byte as the C1 control of its value instead, which is as
// good for showing: either is taken. Windows' own tables differ from iconv's in a few bytes
// (its KOI8-U has the Belarusian letters, its Mac Cyrillic is the older one, its Mac Roman has
// the Ohm and increment signs and no Apple logo): those readings are taken too.
TEST(PageDecoder, SingleByteCodePagesReadByteForByteAsTheirTables) {
  const struct {
    std::string_view encoding;
    int byte;
    char32_t character;
  } windowsReadings[] = {
      {"KOI8-U", 0xAE, U'\u045E'},       {"KOI8-U", 0xBE, U'\u040E'},
      {"MACINTOSH", 0xBD, U'\u2126'},    {"MACINTOSH", 0xC6, U'\u2206'},
      {"MACINTOSH", 0xF0, U'\uFFFD'},    {"MAC-CYRILLIC", 0xA2, U'\u00A2'},
      {"MAC-CYRILLIC", 0xB6, U'\u2202'},
  };
  const auto windowsReads = [&](std::string_view encoding, int byte, char32_t character) {
    return std::any_of(std::begin(windowsReadings), std::end(windowsReadings), [&](const auto& r) {
      return r.encoding == encoding && r.byte == byte && r.character == character;
    });
  };
  const struct {
    const char* encoding;
    std::u32string high;
  } cases[] = {
      {"KOI8-R",
       U"\u2500\u2502\u250C\u2510\u2514\u2518\u251C\u2524\u252C\u2534\u253C\u2580\u2584"
       U"\u2588\u258C\u2590\u2591\u2592\u2593\u2320\u25A0\u2219\u221A\u2248\u2264\u2265"
       U"\u00A0\u2321\u00B0\u00B2\u00B7\u00F7\u2550\u2551\u2552\u0451\u2553\u2554\u2555"
       U"\u2556\u2557\u2558\u2559\u255A\u255B\u255C\u255D\u255E\u255F\u2560\u2561\u0401"
       U"\u2562\u2563\u2564\u2565\u2566\u2567\u2568\u2569\u256A\u256B\u256C\u00A9\u044E"
       U"\u0430\u0431\u0446\u0434\u0435\u0444\u0433\u0445\u0438\u0439\u043A\u043B\u043C"
       U"\u043D\u043E\u043F\u044F\u0440\u0441\u0442\u0443\u0436\u0432\u044C\u044B\u0437"
       U"\u0448\u044D\u0449\u0447\u044A\u042E\u0410\u0411\u0426\u0414\u0415\u0424\u0413"
       U"\u0425\u0418\u0419\u041A\u041B\u041C\u041D\u041E\u041F\u042F\u0420\u0421\u0422"
       U"\u0423\u0416\u0412\u042C\u042B\u0417\u0428\u042D\u0429\u0427\u042A"},
      {"KOI8-U",
       U"\u2500\u2502\u250C\u2510\u2514\u2518\u251C\u2524\u252C\u2534\u253C\u2580\u2584"
       U"\u2588\u258C\u2590\u2591\u2592\u2593\u2320\u25A0\u2219\u221A\u2248\u2264\u2265"
       U"\u00A0\u2321\u00B0\u00B2\u00B7\u00F7\u2550\u2551\u2552\u0451\u0454\u2554\u0456"
       U"\u0457\u2557\u2558\u2559\u255A\u255B\u0491\u255D\u255E\u255F\u2560\u2561\u0401"
       U"\u0404\u2563\u0406\u0407\u2566\u2567\u2568\u2569\u256A\u0490\u256C\u00A9\u044E"
       U"\u0430\u0431\u0446\u0434\u0435\u0444\u0433\u0445\u0438\u0439\u043A\u043B\u043C"
       U"\u043D\u043E\u043F\u044F\u0440\u0441\u0442\u0443\u0436\u0432\u044C\u044B\u0437"
       U"\u0448\u044D\u0449\u0447\u044A\u042E\u0410\u0411\u0426\u0414\u0415\u0424\u0413"
       U"\u0425\u0418\u0419\u041A\u041B\u041C\u041D\u041E\u041F\u042F\u0420\u0421\u0422"
       U"\u0423\u0416\u0412\u042C\u042B\u0417\u0428\u042D\u0429\u0427\u042A"},
      {"IBM866",
       U"\u0410\u0411\u0412\u0413\u0414\u0415\u0416\u0417\u0418\u0419\u041A\u041B\u041C"
       U"\u041D\u041E\u041F\u0420\u0421\u0422\u0423\u0424\u0425\u0426\u0427\u0428\u0429"
       U"\u042A\u042B\u042C\u042D\u042E\u042F\u0430\u0431\u0432\u0433\u0434\u0435\u0436"
       U"\u0437\u0438\u0439\u043A\u043B\u043C\u043D\u043E\u043F\u2591\u2592\u2593\u2502"
       U"\u2524\u2561\u2562\u2556\u2555\u2563\u2551\u2557\u255D\u255C\u255B\u2510\u2514"
       U"\u2534\u252C\u251C\u2500\u253C\u255E\u255F\u255A\u2554\u2569\u2566\u2560\u2550"
       U"\u256C\u2567\u2568\u2564\u2565\u2559\u2558\u2552\u2553\u256B\u256A\u2518\u250C"
       U"\u2588\u2584\u258C\u2590\u2580\u0440\u0441\u0442\u0443\u0444\u0445\u0446\u0447"
       U"\u0448\u0449\u044A\u044B\u044C\u044D\u044E\u044F\u0401\u0451\u0404\u0454\u0407"
       U"\u0457\u040E\u045E\u00B0\u2219\u00B7\u221A\u2116\u00A4\u25A0\u00A0"},
      {"windows-1252",
       U"\u20AC\uFFFD\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152"
       U"\uFFFD\u017D\uFFFD\uFFFD\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122"
       U"\u0161\u203A\u0153\uFFFD\u017E\u0178\u00A0\u00A1\u00A2\u00A3\u00A4\u00A5\u00A6"
       U"\u00A7\u00A8\u00A9\u00AA\u00AB\u00AC\u00AD\u00AE\u00AF\u00B0\u00B1\u00B2\u00B3"
       U"\u00B4\u00B5\u00B6\u00B7\u00B8\u00B9\u00BA\u00BB\u00BC\u00BD\u00BE\u00BF\u00C0"
       U"\u00C1\u00C2\u00C3\u00C4\u00C5\u00C6\u00C7\u00C8\u00C9\u00CA\u00CB\u00CC\u00CD"
       U"\u00CE\u00CF\u00D0\u00D1\u00D2\u00D3\u00D4\u00D5\u00D6\u00D7\u00D8\u00D9\u00DA"
       U"\u00DB\u00DC\u00DD\u00DE\u00DF\u00E0\u00E1\u00E2\u00E3\u00E4\u00E5\u00E6\u00E7"
       U"\u00E8\u00E9\u00EA\u00EB\u00EC\u00ED\u00EE\u00EF\u00F0\u00F1\u00F2\u00F3\u00F4"
       U"\u00F5\u00F6\u00F7\u00F8\u00F9\u00FA\u00FB\u00FC\u00FD\u00FE\u00FF"},
      {"windows-1250",
       U"\u20AC\uFFFD\u201A\uFFFD\u201E\u2026\u2020\u2021\uFFFD\u2030\u0160\u2039\u015A"
       U"\u0164\u017D\u0179\uFFFD\u2018\u2019\u201C\u201D\u2022\u2013\u2014\uFFFD\u2122"
       U"\u0161\u203A\u015B\u0165\u017E\u017A\u00A0\u02C7\u02D8\u0141\u00A4\u0104\u00A6"
       U"\u00A7\u00A8\u00A9\u015E\u00AB\u00AC\u00AD\u00AE\u017B\u00B0\u00B1\u02DB\u0142"
       U"\u00B4\u00B5\u00B6\u00B7\u00B8\u0105\u015F\u00BB\u013D\u02DD\u013E\u017C\u0154"
       U"\u00C1\u00C2\u0102\u00C4\u0139\u0106\u00C7\u010C\u00C9\u0118\u00CB\u011A\u00CD"
       U"\u00CE\u010E\u0110\u0143\u0147\u00D3\u00D4\u0150\u00D6\u00D7\u0158\u016E\u00DA"
       U"\u0170\u00DC\u00DD\u0162\u00DF\u0155\u00E1\u00E2\u0103\u00E4\u013A\u0107\u00E7"
       U"\u010D\u00E9\u0119\u00EB\u011B\u00ED\u00EE\u010F\u0111\u0144\u0148\u00F3\u00F4"
       U"\u0151\u00F6\u00F7\u0159\u016F\u00FA\u0171\u00FC\u00FD\u0163\u02D9"},
      {"ISO-8859-5",
       U"\u0080\u0081\u0082\u0083\u0084\u0085\u0086\u0087\u0088\u0089\u008A\u008B\u008C"
       U"\u008D\u008E\u008F\u0090\u0091\u0092\u0093\u0094\u0095\u0096\u0097\u0098\u0099"
       U"\u009A\u009B\u009C\u009D\u009E\u009F\u00A0\u0401\u0402\u0403\u0404\u0405\u0406"
       U"\u0407\u0408\u0409\u040A\u040B\u040C\u00AD\u040E\u040F\u0410\u0411\u0412\u0413"
       U"\u0414\u0415\u0416\u0417\u0418\u0419\u041A\u041B\u041C\u041D\u041E\u041F\u0420"
       U"\u0421\u0422\u0423\u0424\u0425\u0426\u0427\u0428\u0429\u042A\u042B\u042C\u042D"
       U"\u042E\u042F\u0430\u0431\u0432\u0433\u0434\u0435\u0436\u0437\u0438\u0439\u043A"
       U"\u043B\u043C\u043D\u043E\u043F\u0440\u0441\u0442\u0443\u0444\u0445\u0446\u0447"
       U"\u0448\u0449\u044A\u044B\u044C\u044D\u044E\u044F\u2116\u0451\u0452\u0453\u0454"
       U"\u0455\u0456\u0457\u0458\u0459\u045A\u045B\u045C\u00A7\u045E\u045F"},
      {"MACINTOSH",
       U"\u00C4\u00C5\u00C7\u00C9\u00D1\u00D6\u00DC\u00E1\u00E0\u00E2\u00E4\u00E3\u00E5"
       U"\u00E7\u00E9\u00E8\u00EA\u00EB\u00ED\u00EC\u00EE\u00EF\u00F1\u00F3\u00F2\u00F4"
       U"\u00F6\u00F5\u00FA\u00F9\u00FB\u00FC\u2020\u00B0\u00A2\u00A3\u00A7\u2022\u00B6"
       U"\u00DF\u00AE\u00A9\u2122\u00B4\u00A8\u2260\u00C6\u00D8\u221E\u00B1\u2264\u2265"
       U"\u00A5\u00B5\u2202\u2211\u220F\u03C0\u222B\u00AA\u00BA\u03A9\u00E6\u00F8\u00BF"
       U"\u00A1\u00AC\u221A\u0192\u2248\u0394\u00AB\u00BB\u2026\u00A0\u00C0\u00C3\u00D5"
       U"\u0152\u0153\u2013\u2014\u201C\u201D\u2018\u2019\u00F7\u25CA\u00FF\u0178\u2044"
       U"\u20AC\u2039\u203A\uFB01\uFB02\u2021\u00B7\u201A\u201E\u2030\u00C2\u00CA\u00C1"
       U"\u00CB\u00C8\u00CD\u00CE\u00CF\u00CC\u00D3\u00D4\uE01E\u00D2\u00DA\u00DB\u00D9"
       U"\u0131\u02C6\u02DC\u00AF\u02D8\u02D9\u02DA\u00B8\u02DD\u02DB\u02C7"},
      {"MAC-CYRILLIC",
       U"\u0410\u0411\u0412\u0413\u0414\u0415\u0416\u0417\u0418\u0419\u041A\u041B\u041C"
       U"\u041D\u041E\u041F\u0420\u0421\u0422\u0423\u0424\u0425\u0426\u0427\u0428\u0429"
       U"\u042A\u042B\u042C\u042D\u042E\u042F\u2020\u00B0\u0490\u00A3\u00A7\u2022\u00B6"
       U"\u0406\u00AE\u00A9\u2122\u0402\u0452\u2260\u0403\u0453\u221E\u00B1\u2264\u2265"
       U"\u0456\u00B5\u0491\u0408\u0404\u0454\u0407\u0457\u0409\u0459\u040A\u045A\u0458"
       U"\u0405\u00AC\u221A\u0192\u2248\u2206\u00AB\u00BB\u2026\u00A0\u040B\u045B\u040C"
       U"\u045C\u0455\u2013\u2014\u201C\u201D\u2018\u2019\u00F7\u201E\u040E\u045E\u040F"
       U"\u045F\u2116\u0401\u0451\u044F\u0430\u0431\u0432\u0433\u0434\u0435\u0436\u0437"
       U"\u0438\u0439\u043A\u043B\u043C\u043D\u043E\u043F\u0440\u0441\u0442\u0443\u0444"
       U"\u0445\u0446\u0447\u0448\u0449\u044A\u044B\u044C\u044D\u044E\u00A4"},
      {"windows-874",
       U"\u20AC\uFFFD\uFFFD\uFFFD\uFFFD\u2026\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"
       U"\uFFFD\uFFFD\uFFFD\uFFFD\u2018\u2019\u201C\u201D\u2022\u2013\u2014\uFFFD\uFFFD"
       U"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\u00A0\u0E01\u0E02\u0E03\u0E04\u0E05\u0E06"
       U"\u0E07\u0E08\u0E09\u0E0A\u0E0B\u0E0C\u0E0D\u0E0E\u0E0F\u0E10\u0E11\u0E12\u0E13"
       U"\u0E14\u0E15\u0E16\u0E17\u0E18\u0E19\u0E1A\u0E1B\u0E1C\u0E1D\u0E1E\u0E1F\u0E20"
       U"\u0E21\u0E22\u0E23\u0E24\u0E25\u0E26\u0E27\u0E28\u0E29\u0E2A\u0E2B\u0E2C\u0E2D"
       U"\u0E2E\u0E2F\u0E30\u0E31\u0E32\u0E33\u0E34\u0E35\u0E36\u0E37\u0E38\u0E39\u0E3A"
       U"\uFFFD\uFFFD\uFFFD\uFFFD\u0E3F\u0E40\u0E41\u0E42\u0E43\u0E44\u0E45\u0E46\u0E47"
       U"\u0E48\u0E49\u0E4A\u0E4B\u0E4C\u0E4D\u0E4E\u0E4F\u0E50\u0E51\u0E52\u0E53\u0E54"
       U"\u0E55\u0E56\u0E57\u0E58\u0E59\u0E5A\u0E5B\uFFFD\uFFFD\uFFFD\uFFFD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.encoding);
    PageEncoding encoding;
    encoding.name = c.encoding;
    PageDecoder decoder(encoding);
    ASSERT_EQ(c.high.size(), 128u);
    for (int b = 0; b < 256; ++b) {
      const std::string byte(1, static_cast<char>(b));
      std::size_t at = 0;
      const std::optional<char32_t> got = decoder.Next(byte, at);
      ASSERT_TRUE(got) << b;
      EXPECT_EQ(at, 1u) << b;
      const char32_t expected = b < 0x80 ? static_cast<char32_t>(b) : c.high[b - 0x80];
      EXPECT_TRUE(*got == expected || (expected == 0xFFFD && *got == static_cast<char32_t>(b)) ||
                  windowsReads(c.encoding, b, *got))
          << std::hex << "byte " << b << ": U+" << static_cast<unsigned>(*got) << ", not U+"
          << static_cast<unsigned>(expected);
    }
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
