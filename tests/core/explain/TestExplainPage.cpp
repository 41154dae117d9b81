// SPDX-License-Identifier: MIT
// A page cleaned through the recording document: it must clean exactly as a run cleans, and
// the recorded places must account for every byte of the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <utility>

#include "cleaning/ProcedureOrder.h"
#include "explain/ExplainPage.h"
#include "explain/TextLines.h"
#include "messages/MessageText.h"
#include "support/RandomHtml.h"

namespace varnow {
namespace {

// The result put together again from the original and the explanation's pieces.
std::string RebuildResult(std::string_view source, const PageExplanation& explanation) {
  std::string result;
  for (const SourceMap::Piece& piece : explanation.pieces) {
    const std::string_view from =
        piece.IsInserted() ? std::string_view(explanation.insertedBytes) : source;
    const Pos start = piece.IsInserted() ? piece.InsertedAt() : piece.Source();
    result.append(
        from.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(piece.length)));
  }
  return result;
}

constexpr std::string_view kPath = "/site/a.htm";

BannerSlotReader SampleBanners() {
  std::vector<MarkerBytes> pairs;
  for (const test::MarkerPair& m : test::SampleMarkers()) {
    pairs.emplace_back(m.first, m.last);
  }
  return FixedBannerSlots(pairs);
}

// The page as a run cleans it: the program's own document, its log lines.
std::pair<std::string, std::vector<std::string>> CleanAsARun(const std::string& source,
                                                             const BannerSlotReader& banners) {
  std::unique_ptr<Document> doc = NewDocument();
  doc->Assign(source);
  std::vector<std::string> lines;
  const StopToken stop;
  CleaningContext ctx(*doc, stop,
                      [&](const LoggedChange& change) { lines.push_back(ChangeLine(change)); });
  RunProcedures(
      ctx, kPath, [](ProcedureId) { return true; }, banners);
  return {std::string(doc->View()), lines};
}

// Every original byte is kept (once, in order) or removed by exactly one change.
void ExpectEveryByteAccountedFor(const std::string& source, const PageExplanation& e) {
  std::vector<int> owner(source.size(), -2);  // -1 kept, i removed by change i
  Pos lastKept = -1;
  for (const SourceMap::Piece& piece : e.pieces) {
    if (piece.IsInserted()) {
      continue;
    }
    ASSERT_GT(piece.Source(), lastKept) << "kept bytes out of order";
    lastKept = piece.Source();
    for (Pos i = piece.Source(); i < piece.Source() + piece.length; ++i) {
      owner[static_cast<std::size_t>(i)] = -1;
    }
  }
  for (std::size_t c = 0; c < e.changes.size(); ++c) {
    for (const SourceMap::Removed& r : e.changes[c].removed) {
      for (Pos i = r.source; i < r.source + r.length; ++i) {
        ASSERT_EQ(owner[static_cast<std::size_t>(i)], -2) << "byte " << i << " placed twice";
        owner[static_cast<std::size_t>(i)] = static_cast<int>(c);
      }
    }
  }
  for (std::size_t i = 0; i < owner.size(); ++i) {
    ASSERT_NE(owner[i], -2) << "byte " << i << " neither kept nor removed";
  }
}

TEST(ExplainPage, RandomPagesCleanAsARunAndEveryByteIsPlaced) {
  std::mt19937_64 rng(15);
  const BannerSlotReader banners = SampleBanners();
  for (int round = 0; round < 305; ++round) {
    // The last rounds are long pages, thousands of changes spread over many chunks of pieces.
    std::string source;
    for (int part = 0; part < (round < 300 ? 1 : 400); ++part) {
      source += test::RandomHtml(rng, test::RandomDocumentSize(rng));
    }
    if (round >= 300) {
      std::replace(source.begin(), source.end(), '\0', ' ');  // no NUL ends the cleaning early
    }
    const auto [result, lines] = CleanAsARun(source, banners);
    const PageExplanation e = ExplainPage(
        source, kPath, [](ProcedureId) { return true; }, banners);
    ASSERT_EQ(e.result, result) << "round " << round;
    ASSERT_EQ(RebuildResult(source, e), result) << "round " << round;
    ASSERT_EQ(e.changes.size(), lines.size());
    if (round >= 300) {
      EXPECT_GT(lines.size(), 1000u);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
      ASSERT_EQ(ChangeLine(e.Reported(i)), lines[i]);
      // Every change removes something; a reduced tag also puts its bare form in.
      EXPECT_FALSE(e.changes[i].removed.empty()) << lines[i];
      EXPECT_LE(e.resultAt[i], static_cast<Pos>(result.size()));
    }
    ExpectEveryByteAccountedFor(source, e);
    // A change that only removed shows right after the last kept byte before its first one.
    for (std::size_t i = 0; i < e.changes.size() && round < 300; ++i) {
      const auto& inserted = e.changes[i].inserted;
      if (!inserted.empty() && inserted.begin()->length > 0) {
        continue;
      }
      Pos offset = 0, expected = 0;
      for (const SourceMap::Piece& piece : e.pieces) {
        offset += piece.length;
        if (!piece.IsInserted() &&
            piece.Source() + piece.length <= e.changes[i].removed.front().source) {
          expected = offset;
        }
      }
      EXPECT_EQ(e.resultAt[i], expected) << lines[i];
    }
    // Each inserted piece belongs to a change that put those bytes in.
    for (const SourceMap::Piece& piece : e.pieces) {
      if (!piece.IsInserted()) {
        continue;
      }
      const std::int32_t owner = e.ChangeOf(piece);
      ASSERT_GE(owner, 0);
      ASSERT_LT(static_cast<std::size_t>(owner), e.changes.size());
      const auto& inserted = e.changes[static_cast<std::size_t>(owner)].inserted;
      EXPECT_TRUE(std::any_of(inserted.begin(), inserted.end(), [&](const auto& i) {
        return i.at <= piece.InsertedAt() && piece.InsertedAt() + piece.length <= i.at + i.length;
      })) << ChangeLine(e.Reported(static_cast<std::size_t>(owner)));
    }
  }
}

// Edits whose order the original's offsets alone could not tell: two tags reduced back to
// front, and a removal that takes an inserted tag along with original bytes.
TEST(ExplainPage, ReducedTagsKeepTheirOrderAndPlaces) {
  struct Case {
    std::string source;
    std::vector<ProcedureId> switches;
    std::string result;
    std::vector<std::pair<Pos, Pos>> removed;  // change by change: first removed range
  };
  const Case cases[] = {
      {"<p a>x<p b>", {ProcedureId::kStyle}, "<p>x<p>", {{0, 5}, {6, 5}}},
      {"<table x><tr y><td z>",
       {ProcedureId::kTable},
       "<table><tr><td>",
       {{0, 9}, {9, 6}, {15, 6}}},
      // Spans go before scripts, and their places are the page's own, not those left after.
      {"a<script>1</script>b<span>c</span>",
       {ProcedureId::kScript, ProcedureId::kSpan},
       "abc",
       {{20, 6}, {27, 7}, {1, 18}}},
  };
  for (const Case& c : cases) {
    const PageExplanation e = ExplainPage(
        c.source, kPath,
        [&](ProcedureId s) {
          return std::find(c.switches.begin(), c.switches.end(), s) != c.switches.end();
        },
        FixedBannerSlots({}));
    EXPECT_EQ(e.result, c.result) << c.source;
    EXPECT_EQ(RebuildResult(c.source, e), c.result) << c.source;
    ASSERT_EQ(e.changes.size(), c.removed.size()) << c.source;
    for (std::size_t i = 0; i < c.removed.size(); ++i) {
      ASSERT_FALSE(e.changes[i].removed.empty());
      EXPECT_EQ(e.changes[i].removed.front().source, c.removed[i].first)
          << ChangeLine(e.Reported(i));
      EXPECT_EQ(e.changes[i].removed.front().length, c.removed[i].second)
          << ChangeLine(e.Reported(i));
      EXPECT_NE(std::find(c.switches.begin(), c.switches.end(), e.changes[i].procedure),
                c.switches.end());
    }
  }
}

TEST(TextLines, LinesAndTheLineOfAnOffset) {
  const std::string text = "ab\r\ncd\n\nlast";
  const TextLines lines(text);
  ASSERT_EQ(lines.Count(), 4u);
  EXPECT_EQ(lines.Line(text, 0), "ab");
  EXPECT_EQ(lines.Line(text, 2), "");
  EXPECT_EQ(lines.Line(text, 3), "last");
  EXPECT_EQ(lines.LineOf(0), 0u);
  EXPECT_EQ(lines.LineOf(3), 0u);  // the LF ends line 0
  EXPECT_EQ(lines.LineOf(4), 1u);
  EXPECT_EQ(lines.LineOf(static_cast<Pos>(text.size())), 3u);
}

}  // namespace
}  // namespace varnow

namespace varnow {
namespace {

// The per-change lists behave as the vectors they stand for, one element, many, copied.
TEST(CompactLists, BehaveAsVectors) {
  for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{5}}) {
    MostlyOne<SourceMap::Removed> one;
    RareList<int> rare;
    std::vector<SourceMap::Removed> expected;
    for (std::size_t i = 0; i < count; ++i) {
      one.push_back({static_cast<Pos>(i * 10), 1});
      one.back().length += 1;  // grown in place, as a deletion next to the last one is
      expected.push_back({static_cast<Pos>(i * 10), 2});
      rare.push_back(static_cast<int>(i));
    }
    const MostlyOne<SourceMap::Removed> copied = one;
    const RareList<int> rareCopy = rare;
    for (const MostlyOne<SourceMap::Removed>* list : {&std::as_const(one), &copied}) {
      ASSERT_EQ(list->size(), count);
      EXPECT_EQ(list->empty(), count == 0);
      std::size_t i = 0;
      for (const SourceMap::Removed& r : *list) {
        EXPECT_EQ(r.source, expected[i].source);
        EXPECT_EQ(r.length, expected[i].length);
        ++i;
      }
    }
    EXPECT_EQ(rareCopy.size(), count);
    EXPECT_EQ(std::vector<int>(rareCopy.begin(), rareCopy.end()).size(), count);
  }
  RareText name;
  EXPECT_TRUE(name.empty());
  name.assign("<!-- ad -->");
  const RareText copy = name;
  EXPECT_EQ(copy.view(), "<!-- ad -->");
  name.assign("");
  EXPECT_TRUE(name.empty());
}

}  // namespace
}  // namespace varnow
