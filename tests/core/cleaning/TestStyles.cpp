// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "cleaning/Procedures.h"
#include "support/CleaningHarness.h"

namespace varnow {
namespace {

using test::CleaningHarness;
using test::Msg;
using Lines = std::vector<std::string>;

constexpr std::string_view kParagraph = " заменен <p...> [%d]";

TEST(RemoveStyles, NothingToDo) {
  for (const char* text :
       {"", "<p>a</p><pre x>b</pre><param x><p\tx><p\r\nx><P>", "<div style='color:red'>x</div>"}) {
    CleaningHarness h(text);
    RemoveStyles(h.Ctx(), test::kPath);
    EXPECT_EQ(h.Text(), text);
    EXPECT_TRUE(h.Lines().empty());
  }
}

TEST(RemoveStyles, StyleBlocksAndOrphans) {
  CleaningHarness h("<STYLE type=text/css>p{}</style>x");
  RemoveStyles(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "x");
  EXPECT_EQ(h.Messages(), Lines{Msg(" удален <style> [%d]", 1)});

  // Unlike script removal, an orphan removal pumps too.
  CleaningHarness orphan("a</style>b");
  RemoveStyles(orphan.Ctx(), test::kPath);
  EXPECT_EQ(orphan.Text(), "ab");
  EXPECT_EQ(orphan.Messages(), Lines{Msg(" удален пустой </style> [%d]", 0)});
  EXPECT_EQ(orphan.Pumps(), 1);
}

TEST(RemoveStyles, ParagraphTagsBecomeBare) {
  CleaningHarness h("<P class=x>a<p align=center>b<p >c</p>");
  RemoveStyles(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "<p>a<p>b<p>c</p>");
  EXPECT_EQ(h.Messages(), (Lines{Msg(kParagraph, 1), Msg(kParagraph, 5), Msg(kParagraph, 9)}));
}

TEST(RemoveStyles, GreaterThanInAQuotedValueEndsTheTag) {
  CleaningHarness h("<p title='a>b'>x");
  RemoveStyles(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "<p>b'>x");
}

TEST(RemoveStyles, StylesBeforeParagraphs) {
  CleaningHarness h("<p x><style><p y></style>");
  RemoveStyles(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "<p>");
  EXPECT_EQ(h.Messages(), (Lines{Msg(" удален <style> [%d]", 6), Msg(kParagraph, 1)}));
}

TEST(RemoveStyles, StopEndsTheCallBeforeTheNextPass) {
  CleaningHarness set("<style>a</style><p x>");
  set.SetStop();
  RemoveStyles(set.Ctx(), test::kPath);
  EXPECT_EQ(set.Text(), "<style>a</style><p x>");

  // Stopped during the style stage: the paragraph stage does not run.
  CleaningHarness styles("<style>a</style><style>b</style><p x>");
  styles.StopAtPump(1);
  RemoveStyles(styles.Ctx(), test::kPath);
  EXPECT_EQ(styles.Text(), "<style>b</style><p x>");

  CleaningHarness paragraphs("<p a><p b>");
  paragraphs.StopAtPump(1);
  RemoveStyles(paragraphs.Ctx(), test::kPath);
  EXPECT_EQ(paragraphs.Text(), "<p><p b>");
}

TEST(RemoveStyles, UnterminatedParagraphTagEndsTheCall) {
  CleaningHarness h("<p a>b<p c");
  RemoveStyles(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "<p>b<p c");
  EXPECT_EQ(h.Messages(), Lines{Msg(kParagraph, 1)});
}

}  // namespace
}  // namespace varnow
