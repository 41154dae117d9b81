// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "cleaning/Procedures.h"
#include "support/CleaningHarness.h"

namespace varnow {
namespace {

using test::CleaningHarness;
using test::Msg;
using Lines = std::vector<std::string>;

constexpr std::string_view kTable = " удален <table...> [%d]";
constexpr std::string_view kRow = " удален <tr...> [%d]";
constexpr std::string_view kCell = " удален <td...> [%d]";
constexpr std::string_view kBody = " удален <body...> [%d]";
constexpr std::string_view kHtml = " удален <html...> [%d]";

TEST(SimplifyTableTags, OtherTagsAndFormsStay) {
  const char* const untouched[] = {
      "",
      "<table><tr><td>a</td></tr></table>",
      "<th x><thead x><caption x><col x><track x></td x></table x>",
      "<table\nx><tr\tx><td\r\nx>",
  };
  for (const char* text : untouched) {
    CleaningHarness h(text);
    SimplifyTableTags(h.Ctx(), test::kPath);
    EXPECT_EQ(h.Text(), text);
    EXPECT_TRUE(h.Lines().empty());
  }
}

TEST(SimplifyTableTags, TableRowCellInEachPass) {
  CleaningHarness h("<TABLE border=1><tr align=x><td width=5>a</td></tr></table>");
  SimplifyTableTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "<table><tr><td>a</td></tr></table>");
  EXPECT_EQ(h.Messages(), (Lines{Msg(kTable, 1), Msg(kRow, 8), Msg(kCell, 12)}));

  CleaningHarness many("<table a><tr b><td c><td d><tr e><td f>");
  SimplifyTableTags(many.Ctx(), test::kPath);
  EXPECT_EQ(many.Text(), "<table><tr><td><td><tr><td>");
  EXPECT_EQ(many.Messages(), (Lines{Msg(kTable, 1), Msg(kRow, 8), Msg(kCell, 12), Msg(kRow, 22),
                                    Msg(kCell, 16), Msg(kCell, 24)}));
}

TEST(SimplifyTableTags, StopEndsTheCallAfterTheRunningPass) {
  CleaningHarness h("<table a><tr b><td c><tr d>");
  h.StopAtPump(1);
  SimplifyTableTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "<table><tr><td><tr d>");
}

TEST(SimplifyTableTags, UnterminatedTagLeavesTheOthersWorkedThrough) {
  CleaningHarness h("<tr a><td b><tr c><table x");
  SimplifyTableTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "<tr><td><tr><table x");
}

TEST(SimplifyBodyTags, BodyLineBeforeHtmlLine) {
  CleaningHarness h("<HTML lang=ru><body bgcolor=white></body></html>");
  SimplifyBodyTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "<html><body></body></html>");
  EXPECT_EQ(h.Messages(), (Lines{Msg(kBody, 15), Msg(kHtml, 1)}));
}

TEST(SimplifyBodyTags, OnlyAsManyHtmlTagsAsPasses) {
  CleaningHarness bare("<html a><body>");
  SimplifyBodyTags(bare.Ctx(), test::kPath);
  EXPECT_EQ(bare.Text(), "<html><body>");

  // One body tag gives one pass, so the second html tag keeps its attributes.
  CleaningHarness two("<html a><html b><body c>");
  SimplifyBodyTags(two.Ctx(), test::kPath);
  EXPECT_EQ(two.Text(), "<html><html b><body>");
}

TEST(SimplifyBodyTags, OtherFormsStay) {
  const char* text = "<!DOCTYPE HTML PUBLIC x><body\nx><html\tx></body x></html x>";
  CleaningHarness h(text);
  SimplifyBodyTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), text);
  EXPECT_TRUE(h.Lines().empty());
}

TEST(SimplifyBodyTags, StopDuringTheBodyStepSkipsTheHtmlStep) {
  CleaningHarness h("<html a><body b>");
  h.StopAtPump(1);
  SimplifyBodyTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "<html a><body>");

  CleaningHarness set("<html a><body b>");
  set.SetStop();
  SimplifyBodyTags(set.Ctx(), test::kPath);
  EXPECT_EQ(set.Text(), "<html a><body b>");
}

TEST(SimplifyBodyTags, UnterminatedBodyTagEndsOnceNothingChanges) {
  // The body tag keeps the loop test true; the html tags are reduced one per pass meanwhile.
  CleaningHarness h("<html a><html b><body x");
  SimplifyBodyTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "<html><html><body x");
  EXPECT_EQ(h.Messages(), (Lines{Msg(kHtml, 1), Msg(kHtml, 7)}));
}

}  // namespace
}  // namespace varnow
