// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "cleaning/Procedures.h"
#include "support/CleaningHarness.h"

namespace varnow {
namespace {

using test::CleaningHarness;
using test::Msg;
using Lines = std::vector<std::string>;

constexpr std::string_view kMessage = " удален %s [%d]";
constexpr std::string_view kQuoted = "target=\"_blank\"";
constexpr std::string_view kPlain = "target=_blank";
constexpr std::string_view kApostrophe = "target='_blank";

test::Cleaned Clean(std::string_view text) {
  return test::CleanWith(text, [](CleaningContext& c) { RemoveBlankTargets(c, test::kPath); });
}

TEST(RemoveBlankTargets, TheThreeForms) {
  test::Cleaned r = Clean("<a href=a.htm target=\"_blank\">");
  EXPECT_EQ(r.text, "<a href=a.htm >");
  EXPECT_EQ(r.messages, Lines{Msg(kMessage, kQuoted, 15)});

  r = Clean("<a href=a.htm target='_blank'>");
  EXPECT_EQ(r.text, "<a href=a.htm '>");  // the closing apostrophe stays
  EXPECT_EQ(r.messages, Lines{Msg(kMessage, kApostrophe, 15)});

  r = Clean("<A HREF=a.htm TARGET=_BLANK><a target=_Blank>");
  EXPECT_EQ(r.text, "<A HREF=a.htm ><a >");
  EXPECT_EQ(r.messages, (Lines{Msg(kMessage, kPlain, 15), Msg(kMessage, kPlain, 19)}));
}

TEST(RemoveBlankTargets, OneOfEachFormPerPassInPatternOrder) {
  const test::Cleaned r =
      Clean("<a target='_blank'><a target=_blank><a target=\"_blank\"><a target=\"_blank\">");
  EXPECT_EQ(r.text, "<a '><a ><a ><a >");
  EXPECT_EQ(r.messages, (Lines{Msg(kMessage, kQuoted, 40), Msg(kMessage, kPlain, 23),
                               Msg(kMessage, kApostrophe, 4), Msg(kMessage, kQuoted, 17)}));
}

TEST(RemoveBlankTargets, NeverReadsTheStopFlag) {
  CleaningHarness h("<a target=_blank><a target=_blank>");
  h.SetStop();
  RemoveBlankTargets(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "<a ><a >");
}

TEST(RemoveBlankTargets, OtherSpellingsStay) {
  const char* text = "<a target = _blank><a target=_top><a target=\"_self\"> target=`_blank`";
  const test::Cleaned r = Clean(text);
  EXPECT_EQ(r.text, text);
  EXPECT_TRUE(r.messages.empty());
}

}  // namespace
}  // namespace varnow
