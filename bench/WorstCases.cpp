// SPDX-License-Identifier: MIT
#include "WorstCases.h"

#include <initializer_list>

#include "BenchPages.h"
#include "cleaning/Procedures.h"

namespace varnow::bench {
namespace {

constexpr std::string_view kPath = "/site/worst.htm";

// Equal shares of the page, each one unit repeated, in the order given.
std::string Sections(std::size_t size, std::initializer_list<std::string_view> units) {
  std::string page;
  page.reserve(size);
  for (const std::string_view unit : units) {
    page += Repeated(unit, size / units.size());
  }
  page.resize(size, ' ');
  return page;
}

std::string ScriptPage(std::size_t size) {
  // Stray closing tags first: each pass removes one at the front while the first opening tag
  // waits far behind.
  return Sections(size, {"</script>", "<SCRIPT>x</script>"});
}

std::string NoscriptPage(std::size_t size) {
  return Sections(size, {"</noscript>", "<noscript>"});
}

std::string IframePage(std::size_t size) {
  // Each closing tag hides among near misses.
  return Repeated("<iframe src=a.htm></iframe ></iframe ></ifram></iframe >x</iframe>", size);
}

std::string StylePage(std::size_t size) {
  return Sections(size, {"</style>", "<style>p{}</style>", "<p class=x>text "});
}

std::string SpanPageAllOpeningsFirst(std::size_t size) {
  return Sections(size, {"<span class=a>", "</span>"});
}

std::string MouseOverPage(std::size_t size) {
  return Repeated("<img onmouseover='swap(this)' src=a.gif>", size);
}

std::string WordMarkupPage(std::size_t size) {
  return Sections(
      size, {"<meta name=ProgId content=x>", "<![endif]-->", "<!--[if gte mso 9]>x<![endif]-->",
             "<![if !vml]>x<![endif]>", "<o:p></o:p>", "<b class=x>", "<i class=y>",
             "<b\r\nstyle=z>", "<i\r\nstyle=w>"});
}

std::string TablePage(std::size_t size) {
  // Fewer tables than rows and cells, then a table tag that never ends: every later pass asks
  // for its '>' again.
  return Sections(size, {"<table border=1>", "<tr align=x>", "<td width=5>", "<table x y "});
}

std::string BodyPage(std::size_t size) {
  return Sections(size, {"<html lang=ru>", "<body bgcolor=white>"});
}

std::string FontPage(std::size_t size) {
  return Sections(size, {"</font>", "<font face=Arial>"});
}

std::string BannerPage(std::size_t size) {
  return Sections(size, {"</div>", "<div class=ad>x</div>"});
}

std::string BlankPage(std::size_t size) {
  return Sections(size, {"<a target=\"_blank\">", "<a target=_blank>", "<a target='_blank'>"});
}

}  // namespace

const std::vector<WorstCase>& WorstCases() {
  static const std::vector<WorstCase> cases = {
      {"Script", ScriptPage, [](CleaningContext& c) { RemoveScriptBlocks(c, kPath); }},
      {"Noscript", NoscriptPage, [](CleaningContext& c) { RemoveNoscriptBlocks(c, kPath); }},
      {"Iframe", IframePage, [](CleaningContext& c) { RemoveIframeBlocks(c, kPath); }},
      {"Style", StylePage, [](CleaningContext& c) { RemoveStyles(c, kPath); }},
      {"Span", SpanPageAllOpeningsFirst, [](CleaningContext& c) { RemoveSpanTags(c, kPath); }},
      {"OnMouseOver", MouseOverPage, [](CleaningContext& c) { RemoveOnMouseOver(c, kPath); }},
      {"MSWord", WordMarkupPage, [](CleaningContext& c) { RemoveWordMarkup(c, kPath); }},
      {"Table", TablePage, [](CleaningContext& c) { SimplifyTableTags(c, kPath); }},
      {"Body", BodyPage, [](CleaningContext& c) { SimplifyBodyTags(c, kPath); }},
      {"Font", FontPage, [](CleaningContext& c) { RemoveFontTags(c, kPath); }},
      {"Banner", BannerPage,
       [](CleaningContext& c) { RemoveBannerBlocks(c, kPath, "<div class=ad>", "</div>"); }},
      {"Blank", BlankPage, [](CleaningContext& c) { RemoveBlankTargets(c, kPath); }},
  };
  return cases;
}

}  // namespace varnow::bench
