// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "cleaning/Procedures.h"
#include "support/CleaningHarness.h"

namespace varnow {
namespace {

using test::CleaningHarness;
using test::Msg;
using Lines = std::vector<std::string>;

constexpr std::string_view kOpen = " удален <span> [%d]";
constexpr std::string_view kClose = " удален </span> [%d]";

TEST(RemoveSpanTags, KeepsTheTextBetween) {
  CleaningHarness h("<span class=x>text</span>");
  RemoveSpanTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "text");
  EXPECT_EQ(h.Messages(), (Lines{Msg(kOpen, 1), Msg(kClose, 5)}));
}

TEST(RemoveSpanTags, OneOpeningAndOneClosingTagPerPass) {
  CleaningHarness h("<span a><SPAN b>x</span></Span>");
  RemoveSpanTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "x");
  EXPECT_EQ(h.Messages(), (Lines{Msg(kOpen, 1), Msg(kClose, 10), Msg(kOpen, 1), Msg(kClose, 2)}));
}

TEST(RemoveSpanTags, UnmatchedTagsGoAlike) {
  CleaningHarness h("a</span>b<span>c<spanner x>d");
  RemoveSpanTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "abcd");
}

TEST(RemoveSpanTags, ClosingTagWithABlankStays) {
  CleaningHarness h("<span>a</span >");
  RemoveSpanTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "a</span >");
  EXPECT_EQ(h.Messages(), Lines{Msg(kOpen, 1)});
}

TEST(RemoveSpanTags, AttributesOverSeveralLinesUpToTheFirstGreaterThan) {
  CleaningHarness h("x<SPAN\r\nclass='a>b'\r\n>t");
  RemoveSpanTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "xb'\r\n>t");
  EXPECT_EQ(h.Messages(), Lines{Msg(kOpen, 2)});
}

TEST(RemoveSpanTags, StopIsPolledBeforeEachPass) {
  CleaningHarness set("<span>a</span>");
  set.SetStop();
  RemoveSpanTags(set.Ctx(), test::kPath);
  EXPECT_EQ(set.Text(), "<span>a</span>");

  // Stop pressed while the opening tag is removed: the closing tag of that pass still goes.
  CleaningHarness h("<span>a</span><span>b</span>");
  h.StopAtPump(1);
  RemoveSpanTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "a<span>b</span>");
  EXPECT_EQ(h.Pumps(), 2);
}

TEST(RemoveSpanTags, UnterminatedOpeningTagEndsTheCall) {
  CleaningHarness h("<span a>x</span></span><span b");
  RemoveSpanTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "x<span b");
  EXPECT_EQ(h.Lines().size(), 3u);
}

}  // namespace
}  // namespace varnow
