// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "cleaning/Procedures.h"
#include "support/CleaningHarness.h"

namespace varnow {
namespace {

using test::CleaningHarness;
using test::Msg;
using Lines = std::vector<std::string>;

constexpr std::string_view kBlock = " удален %s [%d]";
constexpr std::string_view kOrphan = " удален пустой %s [%d]";

test::Cleaned Clean(std::string_view text, std::string_view first, std::string_view last) {
  return test::CleanWith(
      text, [&](CleaningContext& c) { RemoveBannerBlocks(c, test::kPath, first, last); });
}

TEST(RemoveBannerBlocks, LogsTheMarkerAsTyped) {
  const test::Cleaned r = Clean("x<!-- AD -->banner<!-- /AD -->y", "<!-- ad -->", "<!-- /ad -->");
  EXPECT_EQ(r.text, "xy");
  EXPECT_EQ(r.messages, Lines{Msg(kBlock, "<!-- ad -->", 2)});
}

TEST(RemoveBannerBlocks, SeveralBlocksFirstToLast) {
  const test::Cleaned r = Clean("a[ad]1[/ad]b[AD]2[/Ad]c", "[ad]", "[/ad]");
  EXPECT_EQ(r.text, "abc");
  EXPECT_EQ(r.messages, (Lines{Msg(kBlock, "[ad]", 2), Msg(kBlock, "[ad]", 3)}));
}

TEST(RemoveBannerBlocks, StrayClosingMarkerBeforeABlock) {
  test::Cleaned r = Clean("</div><div class=ad>x</div>", "<div class=ad>", "</div>");
  EXPECT_EQ(r.text, "");
  EXPECT_EQ(r.messages, (Lines{Msg(kOrphan, "</div>", 7), Msg(kBlock, "<div class=ad>", 1)}));

  r = Clean("</div>a<div class=ad>x</div>", "<div class=ad>", "</div>");
  EXPECT_EQ(r.text, "a");
  EXPECT_EQ(r.messages, (Lines{Msg(kOrphan, "</div>", 8), Msg(kBlock, "<div class=ad>", 2)}));
}

// A marker holding a NUL byte can never be found in a text without one, though the loop test,
// which reads up to the first NUL, sees it: the pass that changes nothing ends the loop.
TEST(RemoveBannerBlocks, AMarkerWithANulEndsAfterAPassThatChangesNothing) {
  for (const std::string_view last : {std::string_view("cd\0", 3), std::string_view("\0", 1)}) {
    const test::Cleaned r = Clean("ab cd", "ab", last);
    EXPECT_EQ(r.text, "ab cd");
    EXPECT_TRUE(r.messages.empty());
  }
}

TEST(RemoveBannerBlocks, MissingOrEmptyMarkers) {
  test::Cleaned r = Clean("a<!-- ad -->b", "<!-- ad -->", "<!-- /ad -->");
  EXPECT_EQ(r.text, "a<!-- ad -->b");
  EXPECT_TRUE(r.messages.empty());

  // Only the closing marker: its first occurrence goes, then no opening remains.
  r = Clean("a</div>b</div>", "<div class=ad>", "</div>");
  EXPECT_EQ(r.text, "ab</div>");
  EXPECT_EQ(r.messages, Lines{Msg(kOrphan, "</div>", 0)});

  r = Clean("a</div>b</div>", "", "</div>");
  EXPECT_EQ(r.text, "ab</div>");
  EXPECT_EQ(r.messages, Lines{Msg(kOrphan, "</div>", 0)});

  r = Clean("<div class=ad>a</div>", "<div class=ad>", "");
  EXPECT_EQ(r.text, "<div class=ad>a</div>");
  EXPECT_TRUE(r.messages.empty());

  r = Clean("anything", "", "");
  EXPECT_EQ(r.text, "anything");
}

TEST(RemoveBannerBlocks, EqualMarkersRemoveEveryOccurrence) {
  const test::Cleaned r = Clean("a<hr>b<HR>c<hr>", "<hr>", "<hr>");
  EXPECT_EQ(r.text, "abc");
  EXPECT_EQ(r.messages,
            (Lines{Msg(kBlock, "<hr>", 2), Msg(kBlock, "<hr>", 3), Msg(kBlock, "<hr>", 4)}));
}

TEST(RemoveBannerBlocks, OpeningMarkerInsideTheClosingOne) {
  // The opening begins inside the first closing: from it through that closing's end.
  const test::Cleaned r = Clean("<!-- ad -->", "ad -->", "<!-- ad");
  EXPECT_EQ(r.text, "<!--  -->");
  EXPECT_EQ(r.messages, Lines{Msg(kBlock, "ad -->", 6)});
}

TEST(RemoveBannerBlocks, CyrillicMarkersMatchOnlyThemselves) {
  const std::string first = "\xD0\xE5\xEA\xEB\xE0\xEC\xE0";  // cp1251 "Реклама"
  const std::string last = "\xCA\xCE\xCD\xC5\xD6";           // cp1251 "КОНЕЦ"
  test::Cleaned r = Clean("a" + first + " b " + last + "c", first, last);
  EXPECT_EQ(r.text, "ac");
  EXPECT_EQ(r.messages, Lines{Msg(kBlock, "Реклама", 2)});

  // cp1251 letters above 127 have no other case here: "реклама" is another text.
  const std::string lower = "\xF0\xE5\xEA\xEB\xE0\xEC\xE0";
  r = Clean("a" + lower + " b " + last + "c", first, last);
  EXPECT_EQ(r.text, "a" + lower + " b c");
  EXPECT_EQ(r.messages, Lines{Msg(kOrphan, "КОНЕЦ", 0)});
}

TEST(RemoveBannerBlocks, StopBeforeEachPassAndNoPumpAfterAnOrphan) {
  CleaningHarness set("[a]x[/a]");
  set.SetStop();
  RemoveBannerBlocks(set.Ctx(), test::kPath, "[a]", "[/a]");
  EXPECT_EQ(set.Text(), "[a]x[/a]");

  CleaningHarness h("[/a][a]1[/a][a]2[/a]");
  h.StopAtPump(1);
  RemoveBannerBlocks(h.Ctx(), test::kPath, "[a]", "[/a]");
  EXPECT_EQ(h.Text(), "[a]2[/a]");  // orphan (no pump), block (pump: stop), then stopped
  EXPECT_EQ(h.Pumps(), 1);
}

}  // namespace
}  // namespace varnow
