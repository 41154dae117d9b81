// SPDX-License-Identifier: MIT
#include "BenchPages.h"

#include <array>
#include <random>
#include <string_view>

namespace varnow::bench {
namespace {

using namespace std::string_view_literals;

// Writes into a string reserved once, so that making a page never holds two copies of it.
class PageWriter {
 public:
  PageWriter(std::size_t size, std::uint64_t seed) : size_(size), rng_(seed) {
    out_.reserve(size + 4096);
  }

  bool Full() const { return out_.size() >= size_; }
  std::size_t Length() const { return out_.size(); }
  std::uint64_t Roll(std::uint64_t n) { return rng_() % n; }
  template <typename List>
  std::string_view Pick(const List& list) {
    return list[Roll(list.size())];
  }

  void Put(std::string_view text) { out_ += text; }
  void Words(std::size_t count);

  std::string Finish(std::string_view tail) {
    out_.resize(size_ > tail.size() ? size_ - tail.size() : 0, ' ');
    out_ += tail;
    out_.resize(size_, ' ');
    return std::move(out_);
  }

 private:
  std::size_t size_;
  std::mt19937_64 rng_;
  std::string out_;
};

// Words in cp1251 Russian and in English.
constexpr std::array kWords = {
    "\xF2\xE5\xEA\xF1\xF2"sv,
    "\xE4\xEE\xEA\xF3\xEC\xE5\xED\xF2\xE0"sv,
    "\xE8"sv,
    "\xF1\xF2\xF0\xE0\xED\xE8\xF6\xE0"sv,
    "\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0"sv,
    "\xE2"sv,
    "\xF4\xE0\xE9\xEB"sv,
    "the"sv,
    "page"sv,
    "window"sv,
    "HTML"sv,
    "2004"sv,
    "of"sv,
    "and"sv,
    "\xCC\xEE\xF1\xEA\xE2\xE0"sv,
    "\xE4\xE0\xED\xED\xFB\xE5"sv,
    "\xF0\xE0\xE7\xE4\xE5\xEB"sv,
};

void PageWriter::Words(std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    Put(Pick(kWords));
    Put(Roll(12) == 0 ? ", "sv : " "sv);
  }
}

constexpr std::string_view kRealisticHead =
    "<html lang=ru>\r\n<head>\r\n"
    "<meta http-equiv=Content-Type content=\"text/html; charset=windows-1251\">\r\n"
    "<meta name=ProgId content=Word.Document>\r\n"
    "<meta name=Generator content=\"Microsoft Word 11\">\r\n"
    "<meta name=Originator content=\"Microsoft Word 11\">\r\n"
    "<title>\xC4\xEE\xEA\xF3\xEC\xE5\xED\xF2</title>\r\n"
    "<style>\r\n<!--\r\n p.MsoNormal, li.MsoNormal {margin:0cm; font-size:12.0pt;\r\n"
    "  font-family:\"Times New Roman\";}\r\n h1 {margin-top:12.0pt; font-size:16.0pt;}\r\n"
    " a:link {color:blue; text-decoration:underline;}\r\n"
    " table.MsoNormalTable {mso-style-name:\"Table Normal\";}\r\n-->\r\n</style>\r\n"
    "<!--[if gte mso 9]><xml>\r\n <o:DocumentProperties>\r\n  <o:Author>user</o:Author>\r\n"
    " </o:DocumentProperties>\r\n</xml><![endif]-->\r\n"
    "<script type=\"text/javascript\">\r\nfunction swap(img, src) { img.src = src; }\r\n"
    "var counter = new Image(); counter.src = 'http://counter.example/c.gif?' + Math.random();"
    "\r\n</script>\r\n</head>\r\n<body bgcolor=white lang=RU link=blue vlink=purple>\r\n";

void RealisticParagraph(PageWriter& page) {
  page.Put(page.Roll(3) == 0 ? "<p class=MsoNormal style='text-align:justify'>"sv
                             : "<p class=MsoNormal>"sv);
  const std::size_t pieces = 3 + page.Roll(6);
  for (std::size_t i = 0; i < pieces; ++i) {
    page.Words(2 + page.Roll(10));
    switch (page.Roll(10)) {
      case 0:
        page.Put("<span style='font-size:12.0pt'>");
        page.Words(3);
        page.Put("</span> ");
        break;
      case 1:
        page.Put("<b style='mso-bidi-font-weight:normal'>");
        page.Words(2);
        page.Put("</b> ");
        break;
      case 2:
        page.Put("<i>");
        page.Words(2);
        page.Put("</i> ");
        break;
      case 3:
        page.Put("<font face=Arial size=2>");
        page.Words(4);
        page.Put("</font> ");
        break;
      case 4:
        page.Put("<a href=\"part12.htm\" target=\"_blank\">");
        page.Words(2);
        page.Put("</a> ");
        break;
      case 5:
        page.Put("<a href=next.htm onMouseOver=\"window.status='next'; return true\">");
        page.Words(1);
        page.Put("</a> ");
        break;
      case 6:
        page.Put("<span lang=EN-US>");
        page.Words(1);
        page.Put("</span> ");
        break;
      default:
        break;
    }
  }
  page.Put(page.Roll(4) == 0 ? "<o:p></o:p></p>\r\n"sv : "</p>\r\n"sv);
}

void RealisticTable(PageWriter& page) {
  page.Put("<table border=1 cellspacing=0 cellpadding=4 width=\"100%\">\r\n");
  const std::size_t rows = 2 + page.Roll(5);
  for (std::size_t r = 0; r < rows; ++r) {
    page.Put("<tr valign=top>\r\n");
    for (std::size_t c = 0; c < 3; ++c) {
      page.Put(c == 0 ? "<td width=120>"sv : "<td>"sv);
      page.Words(1 + page.Roll(5));
      page.Put("</td>\r\n");
    }
    page.Put("</tr>\r\n");
  }
  page.Put("</table>\r\n");
}

void RealisticExtra(PageWriter& page) {
  switch (page.Roll(5)) {
    case 0:
      page.Put(
          "<script language=JavaScript>\r\n<!--\r\ndocument.write('<a href=\"http://ads.example/"
          "click\"><img src=\"http://ads.example/b.gif\" width=468 height=60></a>');\r\n//-->"
          "\r\n</script>\r\n");
      break;
    case 1:
      page.Put(
          "<noscript><img src=\"http://counter.example/c.gif\" width=1 height=1>"
          "</noscript>\r\n");
      break;
    case 2:
      page.Put(
          "<iframe src=\"http://ads.example/frame.htm\" width=468 height=60 "
          "frameborder=0></iframe>\r\n");
      break;
    case 3:
      page.Put(
          "<!-- ad --><div align=center><a href=\"http://ads.example/\">"
          "<img src=ad.gif></a></div><!-- /ad -->\r\n");
      break;
    default:
      page.Put("<p class=MsoListParagraph><![if !supportLists]>1.<![endif]>");
      page.Words(5);
      page.Put("</p>\r\n");
      break;
  }
}

}  // namespace

std::string RealisticPage(std::size_t size) {
  PageWriter page(size, 50);
  page.Put(kRealisticHead);
  while (!page.Full()) {
    const auto roll = page.Roll(20);
    if (roll < 15) {
      RealisticParagraph(page);
    } else if (roll < 17) {
      RealisticTable(page);
    } else {
      RealisticExtra(page);
    }
  }
  return page.Finish("\r\n</body>\r\n</html>\r\n");
}

std::string SpanPage(std::size_t size, std::size_t spanPairs) {
  constexpr std::array kClasses = {"kw"sv, "kt"sv, "nf"sv, "mi"sv, "s2"sv, "c1"sv, "o"sv};
  constexpr std::array kTokens = {"for"sv,    "int"sv, "main"sv, "0"sv,      "\"text\""sv,
                                  "return"sv, "+="sv,  "std"sv,  "vector"sv, "// note"sv};
  PageWriter page(size, 200);
  page.Put("<html><head><title>API reference</title></head><body>\r\n<pre class=code>\r\n");
  const std::size_t perPair = spanPairs == 0 ? size : size / spanPairs;
  for (std::size_t pair = 0; pair < spanPairs && !page.Full(); ++pair) {
    page.Put("<span class=\"");
    page.Put(page.Pick(kClasses));
    page.Put("\">");
    page.Put(page.Pick(kTokens));
    page.Put("</span>");
    // Plain code between the spans keeps the pairs evenly spread over the page.
    while (page.Length() < (pair + 1) * perPair - 1 && !page.Full()) {
      page.Put(page.Roll(8) == 0 ? "\r\n    "sv : (page.Roll(3) == 0 ? "(i, n); "sv : " "sv));
    }
  }
  return page.Finish("\r\n</pre>\r\n</body></html>\r\n");
}

std::string WordPage(std::size_t size) {
  PageWriter page(size, 300);
  page.Put(kRealisticHead);
  page.Put("<style>\r\n<!--\r\n");
  for (int i = 0; i < 60; ++i) {
    page.Put(
        " p.MsoList, li.MsoList {mso-style-priority:34; margin-top:0cm; "
        "margin-right:0cm; mso-add-space:auto; font-size:12.0pt;}\r\n");
  }
  page.Put("-->\r\n</style>\r\n");
  while (!page.Full()) {
    switch (page.Roll(6)) {
      case 0:
        page.Put(
            "<p class=MsoListParagraph style='margin-left:36.0pt;text-indent:-18.0pt'>"
            "<![if !supportLists]><span lang=RU>1.<span style='font:7.0pt \"Times New "
            "Roman\"'>&nbsp;&nbsp; </span></span><![endif]><span lang=RU>");
        page.Words(6);
        page.Put("</span></p>\r\n");
        break;
      case 1:
        page.Put(
            "<!--[if gte vml 1]><v:shape id=\"_x0000_i1025\" type=\"#_x0000_t75\" "
            "style='width:300pt;height:200pt'><v:imagedata src=\"page_files/image001.png\""
            " o:title=\"\"/></v:shape><![endif]-->\r\n");
        break;
      case 2:
        page.Put("<p class=MsoNormal><i\r\nstyle='mso-bidi-font-style:normal'>");
        page.Words(4);
        page.Put("</i><o:p></o:p></p>\r\n");
        break;
      default:
        page.Put(
            "<p class=MsoNormal style='text-align:justify'><b style='mso-bidi-font-"
            "weight:normal'><span lang=RU style='font-size:14.0pt;font-family:\"Times New "
            "Roman\"'>");
        page.Words(8);
        page.Put("<o:p></o:p></span></b></p>\r\n");
        break;
    }
  }
  return page.Finish("\r\n</body>\r\n</html>\r\n");
}

std::string Repeated(std::string_view unit, std::size_t size) {
  std::string out;
  out.reserve(size);
  while (out.size() + unit.size() <= size) {
    out += unit;
  }
  out.resize(size, ' ');
  return out;
}

}  // namespace varnow::bench
