// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "cleaning/Procedures.h"
#include "support/CleaningHarness.h"

namespace varnow {
namespace {

using test::CleaningHarness;
using test::Msg;
using Lines = std::vector<std::string>;

constexpr std::string_view kIfBlock = " удален <!--[if...]> [%d]";
constexpr std::string_view kEndifOrphan = " удален пустой <![endif]--> [%d]";
constexpr std::string_view kBold = " заменен <b...> [%d]";
constexpr std::string_view kItalic = " заменен <i...> [%d]";

test::Cleaned Clean(std::string_view text) {
  return test::CleanWith(text, [](CleaningContext& c) { RemoveWordMarkup(c, test::kPath); });
}

TEST(RemoveWordMarkup, LeavesOrdinaryPagesAlone) {
  const char* const untouched[] = {
      "",
      "<html><body><p>x</p><b>bold</b><br><big x><body x><img x><i\tx><b\nx></b></i></html>",
      // Quoted name values and two blanks are not the meta tags Word writes.
      "<meta name=\"Generator\" content=x><meta  name=ProgId>",
  };
  for (const char* text : untouched) {
    const test::Cleaned r = Clean(text);
    EXPECT_EQ(r.text, text);
    EXPECT_TRUE(r.messages.empty()) << text;
  }
}

TEST(RemoveWordMarkup, MetaTags) {
  const test::Cleaned r = Clean(
      "<meta name=ProgId content=Word.Document><META NAME=Generator content=\"Word 9\">"
      "<meta name=Originator content=x><p>");
  EXPECT_EQ(r.text, "<p>");
  EXPECT_EQ(r.messages, (Lines{Msg(" удален <meta name=ProgId> [%d]", 1),
                               Msg(" удалено <meta name=Generator> [%d]", 1),
                               Msg(" удалено <meta name=Originator> [%d]", 1)}));
}

TEST(RemoveWordMarkup, HiddenConditionalComments) {
  test::Cleaned r = Clean("a<!--[if gte mso 9]><xml>x</xml><![endif]-->b");
  EXPECT_EQ(r.text, "ab");
  EXPECT_EQ(r.messages, Lines{Msg(kIfBlock, 2)});

  // Without any opening only the first closing goes.
  r = Clean("a<![ENDIF]-->b<![endif]-->");
  EXPECT_EQ(r.text, "ab<![endif]-->");
  EXPECT_EQ(r.messages, Lines{Msg(kEndifOrphan, 0)});

  // An orphan closing directly before a whole comment: the orphan, then the comment.
  r = Clean("<![endif]--><!--[if x]>y<![endif]-->");
  EXPECT_EQ(r.text, "");
  EXPECT_EQ(r.messages, (Lines{Msg(kEndifOrphan, 13), Msg(kIfBlock, 1)}));

  r = Clean("<!--[if x]>no end");
  EXPECT_EQ(r.text, "<!--[if x]>no end");
  EXPECT_TRUE(r.messages.empty());
}

TEST(RemoveWordMarkup, RevealedConditionalBlocks) {
  test::Cleaned r = Clean("a<![if !vml]><img x><![endif]>b");
  EXPECT_EQ(r.text, "ab");
  EXPECT_EQ(r.messages, Lines{Msg(" удален <![if...]> [%d]", 2)});

  // An orphan loses the nine bytes from its '!' on; its '<' stays.
  r = Clean("a<![endif]>b");
  EXPECT_EQ(r.text, "a<b");
  EXPECT_EQ(r.messages, Lines{Msg(kEndifOrphan, 0)});
}

TEST(RemoveWordMarkup, OfficeParagraphTagsOpeningsFirst) {
  const test::Cleaned r = Clean("<p><o:p></o:p></p><p><O:P></O:P></p>");
  EXPECT_EQ(r.text, "<p></p><p></p>");
  EXPECT_EQ(r.messages, (Lines{Msg(" удален <o:p> [%d]", 4), Msg(" удален <o:p> [%d]", 17),
                               Msg(" удален </o:p> [%d]", 4), Msg(" удален </o:p> [%d]", 11)}));
}

TEST(RemoveWordMarkup, BoldAndItalicStartTags) {
  test::Cleaned r = Clean("<b class=x>t</b><i\r\nstyle=y>u</i>");
  EXPECT_EQ(r.text, "<b>t</b><i>u</i>");
  EXPECT_EQ(r.messages, (Lines{Msg(kBold, 1), Msg(kItalic, 9)}));

  // Line-break forms only: one reduced per pass until none is left.
  r = Clean("<b\r\nx>1<B\r\ny>2");
  EXPECT_EQ(r.text, "<b>1<b>2");
  EXPECT_EQ(r.messages, (Lines{Msg(kBold, 1), Msg(kBold, 5)}));

  // Within a pass: space forms first, then line-break forms.
  r = Clean("<i\r\na><b\r\nb><i c><b d>");
  EXPECT_EQ(r.text, "<i><b><i><b>");
  EXPECT_EQ(r.messages, (Lines{Msg(kBold, 18), Msg(kItalic, 13), Msg(kBold, 7), Msg(kItalic, 1)}));
}

TEST(RemoveWordMarkup, NulAheadEndsAStageAfterItsRunningPass) {
  const test::Cleaned r = Clean(std::string("\0<o:p><o:p>", 11));
  EXPECT_EQ(r.text, std::string("\0<o:p>", 6));
  EXPECT_EQ(r.messages, Lines{Msg(" удален <o:p> [%d]", 2)});
}

TEST(RemoveWordMarkup, StopIsPolledBeforeEveryPassAndInsideTheBoldItalicPass) {
  CleaningHarness set("<meta name=ProgId x><b x>");
  set.SetStop();
  RemoveWordMarkup(set.Ctx(), test::kPath);
  EXPECT_EQ(set.Text(), "<meta name=ProgId x><b x>");
  EXPECT_TRUE(set.Lines().empty());

  // Stopped while a meta tag goes: no later stage runs.
  CleaningHarness meta("<meta name=ProgId x><o:p>");
  meta.StopAtPump(1);
  RemoveWordMarkup(meta.Ctx(), test::kPath);
  EXPECT_EQ(meta.Text(), "<o:p>");

  // Stopped while the space forms are reduced: the line-break forms of that pass are not.
  CleaningHarness bold("<b x><i y><b\r\nz>");
  bold.StopAtPump(1);
  RemoveWordMarkup(bold.Ctx(), test::kPath);
  EXPECT_EQ(bold.Text(), "<b><i><b\r\nz>");
}

TEST(RemoveWordMarkup, UnterminatedTagEndsOnlyItsStage) {
  // The ProgId stage gives up on its unterminated tag; the Generator stage still runs.
  test::Cleaned r = Clean("<meta name=Generator x><meta name=ProgId");
  EXPECT_EQ(r.text, "<meta name=ProgId");
  EXPECT_EQ(r.messages, Lines{Msg(" удалено <meta name=Generator> [%d]", 1)});

  // The other bold/italic forms are still worked through.
  r = Clean("<i x>a<i y>b<b z");
  EXPECT_EQ(r.text, "<i>a<i>b<b z");
  EXPECT_EQ(r.messages, (Lines{Msg(kItalic, 1), Msg(kItalic, 5)}));
}

}  // namespace
}  // namespace varnow
