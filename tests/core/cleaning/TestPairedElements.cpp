// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "cleaning/Procedures.h"
#include "support/CleaningHarness.h"

namespace varnow {
namespace {

using test::CleaningHarness;
using test::Msg;
using Lines = std::vector<std::string>;

constexpr std::string_view kBlock = " удален <script> [%d]";
constexpr std::string_view kOrphan = " удален пустой </script> [%d]";

TEST(RemoveScriptBlocks, NothingToDo) {
  for (const char* text : {"", "plain <b>text</b>", "<scrip>x</scrip>"}) {
    CleaningHarness h(text);
    RemoveScriptBlocks(h.Ctx(), test::kPath);
    EXPECT_EQ(h.Text(), text);
    EXPECT_TRUE(h.Lines().empty());
  }
}

TEST(RemoveScriptBlocks, ElementAtPositionOneLeavesNothing) {
  CleaningHarness h("<SCRIPT language=js>a < b</script>");
  RemoveScriptBlocks(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "");
  EXPECT_EQ(h.Lines(), Lines{std::string(test::kPath) + " удален <script> [1]"});
}

TEST(RemoveScriptBlocks, SeveralElementsFirstToLast) {
  CleaningHarness h("a<script>x</script>b<ScRiPt\r\ntype=y>z</SCRIPT>c");
  RemoveScriptBlocks(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "abc");
  EXPECT_EQ(h.Messages(), (Lines{Msg(kBlock, 2), Msg(kBlock, 3)}));
}

TEST(RemoveScriptBlocks, OpeningTagWithoutClosingStays) {
  CleaningHarness h("a<script>x");
  RemoveScriptBlocks(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "a<script>x");
  EXPECT_TRUE(h.Lines().empty());
}

TEST(RemoveScriptBlocks, OnlyTheFirstStrayClosingTagGoesPerCall) {
  CleaningHarness h("x</script>y</script>z");
  RemoveScriptBlocks(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "xy</script>z");
  EXPECT_EQ(h.Messages(), Lines{Msg(kOrphan, 0)});
}

TEST(RemoveScriptBlocks, StrayClosingTagBeforeAnElement) {
  // The orphan line carries the position the opening tag had before the orphan went.
  CleaningHarness h("</script>a<script>b</script>");
  RemoveScriptBlocks(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "a");
  EXPECT_EQ(h.Messages(), (Lines{Msg(kOrphan, 11), Msg(kBlock, 2)}));

  CleaningHarness adjacent("</script><script>b</script>");
  RemoveScriptBlocks(adjacent.Ctx(), test::kPath);
  EXPECT_EQ(adjacent.Text(), "");
  EXPECT_EQ(adjacent.Messages(), (Lines{Msg(kOrphan, 10), Msg(kBlock, 1)}));
}

TEST(RemoveScriptBlocks, NestedElementsEndAtTheFirstClosingTag) {
  CleaningHarness h("<script>a<script>b</script>c</script>");
  RemoveScriptBlocks(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "c</script>");
  EXPECT_EQ(h.Messages(), Lines{Msg(kBlock, 1)});
}

TEST(RemoveScriptBlocks, ClosingTagInsideAStringEndsTheElement) {
  CleaningHarness h("<script>document.write('</script>');</script>!");
  RemoveScriptBlocks(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "');</script>!");
}

TEST(RemoveScriptBlocks, LeavesNoscriptAlone) {
  CleaningHarness h("<noscript>x</noscript>");
  RemoveScriptBlocks(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "<noscript>x</noscript>");
  EXPECT_TRUE(h.Lines().empty());
}

TEST(RemoveScriptBlocks, NulAheadEndsTheLoopAfterTheRunningPass) {
  const std::string text("\0<script>a</script><script>b</script>", 37);
  CleaningHarness h(text);
  RemoveScriptBlocks(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), std::string("\0<script>b</script>", 19));
  EXPECT_EQ(h.Messages(), Lines{Msg(kBlock, 2)});
}

TEST(RemoveScriptBlocks, PumpsAfterBlocksOnlyAndIgnoresStop) {
  CleaningHarness h("</script><script>a</script><script>b</script>");
  h.StopAtPump(1);
  RemoveScriptBlocks(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "");
  EXPECT_EQ(h.Lines().size(), 3u);
  EXPECT_EQ(h.Pumps(), 2);  // the orphan removal does not pump

  CleaningHarness stopped("<script>a</script>");
  stopped.SetStop();
  RemoveScriptBlocks(stopped.Ctx(), test::kPath);
  EXPECT_EQ(stopped.Text(), "");
}

TEST(RemoveNoscriptBlocks, RemovesElementsAndOrphans) {
  CleaningHarness h("</NOSCRIPT>a<noscript>b</noscript>c");
  h.SetStop();  // never polled
  RemoveNoscriptBlocks(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "ac");
  EXPECT_EQ(h.Messages(),
            (Lines{Msg(" удален пустой </noscript> [%d]", 13), Msg(" удален <noscript> [%d]", 2)}));
}

TEST(RemoveIframeBlocks, PollsStopBeforeEveryPass) {
  CleaningHarness set("<iframe>a</iframe>");
  set.SetStop();
  RemoveIframeBlocks(set.Ctx(), test::kPath);
  EXPECT_EQ(set.Text(), "<iframe>a</iframe>");
  EXPECT_TRUE(set.Lines().empty());

  CleaningHarness h("<iframe src=x>a</iframe><IFRAME>b</IFRAME>");
  h.StopAtPump(1);
  RemoveIframeBlocks(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "<IFRAME>b</IFRAME>");
  EXPECT_EQ(h.Messages(), Lines{Msg(" удален <iframe> [%d]", 1)});

  CleaningHarness orphan("</iframe>x</iframe><iframe>");
  RemoveIframeBlocks(orphan.Ctx(), test::kPath);
  EXPECT_EQ(orphan.Text(), "x<iframe>");
  EXPECT_EQ(orphan.Messages(), (Lines{Msg(" удален пустой </iframe> [%d]", 20),
                                      Msg(" удален пустой </iframe> [%d]", 11)}));
  EXPECT_EQ(orphan.Pumps(), 0);
}

TEST(PairedElements, ScriptInsideNoscriptGoesFirstInRunOrder) {
  CleaningHarness h("<noscript><script>x</script>y</noscript>");
  RemoveScriptBlocks(h.Ctx(), test::kPath);
  RemoveNoscriptBlocks(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "");
  EXPECT_EQ(h.Messages(), (Lines{Msg(kBlock, 11), Msg(" удален <noscript> [%d]", 1)}));
}

}  // namespace
}  // namespace varnow
