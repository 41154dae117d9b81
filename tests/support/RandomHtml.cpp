// SPDX-License-Identifier: MIT
#include "support/RandomHtml.h"

#include <array>
#include <cstdio>
#include <string_view>

namespace varnow::test {
namespace {

using namespace std::string_view_literals;

// Fragments that the procedures match, almost match or must leave alone.
constexpr std::array kFragments = {
    "<script>"sv,
    "<script type=text/javascript>"sv,
    "</script>"sv,
    "</script >"sv,
    "<noscript>"sv,
    "</noscript>"sv,
    "<iframe src=a.htm>"sv,
    "</iframe>"sv,
    "<style>"sv,
    "<style type=text/css>"sv,
    "</style>"sv,
    "<p class=x>"sv,
    "<p >"sv,
    "<p>"sv,
    "</p>"sv,
    "<p\tx>"sv,
    "<pre x>"sv,
    "<span>"sv,
    "<span class='a>b'>"sv,
    "</span>"sv,
    "</span >"sv,
    "<spanner x>"sv,
    " onMouseOver='x()'"sv,
    " onmouseover =y"sv,
    " onMouseOut='z'"sv,
    "<meta name=ProgId content=Word.Document>"sv,
    "<meta name=\"Generator\">"sv,
    "<meta  name=Generator>"sv,
    "<meta name=Generator content=x>"sv,
    "<meta name=Originator>"sv,
    "<!--[if gte mso 9]>"sv,
    "<![endif]-->"sv,
    "<![if !vml]>"sv,
    "<![endif]>"sv,
    "<o:p>"sv,
    "</o:p>"sv,
    "<b class=x>"sv,
    "<b\r\nstyle=y>"sv,
    "<b>"sv,
    "</b>"sv,
    "<b\nx>"sv,
    "<i style=y>"sv,
    "<i\r\n>"sv,
    "<br>"sv,
    "<big x>"sv,
    "<table border=1>"sv,
    "<tr align=x>"sv,
    "<td width=5>"sv,
    "<th x>"sv,
    "<track x>"sv,
    "<table\nx>"sv,
    "<body bgcolor=white>"sv,
    "<html lang=ru>"sv,
    "<!DOCTYPE HTML PUBLIC>"sv,
    "</body>"sv,
    "<font face=Arial>"sv,
    "<font>"sv,
    "</font>"sv,
    "</font >"sv,
    "<fontx>"sv,
    " target=\"_blank\""sv,
    " target=_blank"sv,
    " target='_blank'"sv,
    " target = _blank"sv,
    " target=_top"sv,
    "<a href=a.htm>"sv,
    "</a>"sv,
    "<!-- ad -->"sv,
    "<!-- /ad -->"sv,
    "<div class=ad>"sv,
    "</div>"sv,
    "<hr>"sv,
    "\xD0\xE5\xEA\xEB\xE0\xEC\xE0"sv,
    "\xCA\xCE\xCD\xC5\xD6"sv,
    "\xE0\xC0\xFF\x98"sv,
    "\r\n"sv,
    "\n"sv,
    "\t"sv,
    ">"sv,
    "<"sv,
    "\0"sv,
    "text "sv,
    "x"sv,
    "  "sv,
    "='\""sv,
};

// Kept in step with the fragments above: pairs a document can hold.
const std::vector<MarkerPair> kMarkers = {
    {"<!-- ad -->", "<!-- /ad -->"},
    {"<div class=ad>", "</div>"},
    {"<hr>", "<hr>"},
    {"", "</div>"},
    {"<div class=ad>", ""},
    {"\xD0\xE5\xEA\xEB\xE0\xEC\xE0", "\xCA\xCE\xCD\xC5\xD6"},  // cp1251 "Реклама", "КОНЕЦ"
    {"ad -->", "<!-- ad"},                                     // markers that share text
    {"<B", "B>"},
};

char FlipCase(char c, std::mt19937_64& rng) {
  if (((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && rng() % 4 == 0) {
    return static_cast<char>(c ^ 0x20);
  }
  return c;
}

void AppendFragment(std::string& out, std::string_view fragment, std::mt19937_64& rng) {
  std::string piece;
  for (char c : fragment) {
    piece += FlipCase(c, rng);
  }
  // A near miss now and then: one byte dropped, doubled or replaced.
  if (!piece.empty() && rng() % 10 == 0) {
    const std::size_t at = rng() % piece.size();
    switch (rng() % 3) {
      case 0:
        piece.erase(at, 1);
        break;
      case 1:
        piece.insert(at, 1, piece[at]);
        break;
      default:
        piece[at] = " >\0-"[rng() % 4];
        break;
    }
  }
  out += piece;
}

}  // namespace

std::string RandomHtml(std::mt19937_64& rng, std::size_t targetSize) {
  std::string out;
  out.reserve(targetSize + 64);
  while (out.size() < targetSize) {
    if (rng() % 8 == 0) {
      const MarkerPair& m = kMarkers[rng() % kMarkers.size()];
      AppendFragment(out, rng() % 2 ? m.first : m.last, rng);
    } else {
      AppendFragment(out, kFragments[rng() % kFragments.size()], rng);
    }
  }
  return out;
}

std::size_t RandomDocumentSize(std::mt19937_64& rng) {
  switch (rng() % 20) {
    case 0:
      return 0;
    case 1:
      return 4'000 + rng() % 36'000;
    default:
      return rng() % 600;
  }
}

const std::vector<MarkerPair>& SampleMarkers() {
  return kMarkers;
}

std::string Quoted(std::string_view bytes) {
  std::string out = "\"";
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u >= 0x20 && u < 0x7F) {
      out += c;
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X\"\"", u);  // "" keeps a hex digit from following
      out += buf;
    }
  }
  return out + "\"";
}

}  // namespace varnow::test
