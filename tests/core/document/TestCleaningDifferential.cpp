// SPDX-License-Identifier: MIT
// The program's document against the literal one: every procedure, alone and in run order,
// must leave the same bytes, log the same lines and pump the same number of times.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <sstream>

#include "ShrinkCase.h"
#include "cleaning/ProcedureOrder.h"
#include "cleaning/ProcedureTable.h"
#include "cleaning/Procedures.h"
#include "document/FastDocument.h"
#include "support/CleaningHarness.h"
#include "support/LiteralDocument.h"
#include "support/ProcedureList.h"
#include "support/RandomHtml.h"
#include "support/VectorLevels.h"

namespace varnow::test {
namespace {

constexpr std::size_t kEachProcedureCount = std::size(kEachProcedure);

TEST(ProcedureList, ListsEveryProcedureOfTheTable) {
  for (const ProcedureRow& row : kProcedures) {
    const bool listed = std::any_of(std::begin(kEachProcedure), std::end(kEachProcedure),
                                    [&](const ListedProcedure& p) { return p.id == row.id; });
    EXPECT_TRUE(listed) << row.key << " has no entry in the differential and random-document tests";
  }
}

// One way of cleaning a document.
struct Cleaning {
  int procedure = -1;  // an index into kEachProcedure, or -1 for the whole run order
  std::array<bool, kProcedureCount> switches{};
  std::vector<MarkerBytes> banners;
  int stopAtPump = 0;  // 0: never stop
  std::size_t blockSize = BlockText::kDefaultBlockSize;
  VectorLevel vectors = DetectVectorLevel();

  std::string Describe() const {
    std::ostringstream out;
    if (procedure >= 0) {
      out << kEachProcedure[static_cast<std::size_t>(procedure)].name;
    } else {
      out << "RunProcedures with";
      for (const ProcedureRow& s : varnow::kProcedures) {
        if (switches[Index(s.id)]) {
          out << ' ' << s.key;
        }
      }
    }
    for (const auto& [first, last] : banners) {
      out << ", markers " << Quoted(first) << " " << Quoted(last);
    }
    out << ", stop at pump " << stopAtPump << ", blocks of " << blockSize << ", "
        << VectorLevelName(vectors) << " scans";
    return out.str();
  }
};

struct Outcome {
  std::string text;
  std::vector<std::string> lines;
  int pumps = 0;

  bool operator==(const Outcome&) const = default;
};

Outcome Clean(std::unique_ptr<Document> doc, std::string_view text, const Cleaning& how) {
  CleaningHarness harness(text, std::move(doc));
  harness.StopAtPump(how.stopAtPump);
  if (how.procedure < 0) {
    RunProcedures(
        harness.Ctx(), kPath, [&](ProcedureId s) { return how.switches[Index(s)]; },
        FixedBannerSlots(how.banners));
  } else if (const auto run = kEachProcedure[static_cast<std::size_t>(how.procedure)].run) {
    run(harness.Ctx(), kPath);
  } else {
    for (const auto& [first, last] : how.banners) {
      RemoveBannerBlocks(harness.Ctx(), kPath, first, last);
    }
  }
  return {harness.Text(), harness.Lines(), harness.Pumps()};
}

bool SameOutcome(const std::string& text, const Cleaning& how) {
  return Clean(std::make_unique<LiteralDocument>(), text, how) ==
         Clean(std::make_unique<FastDocument>(how.blockSize, how.vectors), text, how);
}

std::string Report(const std::string& text, const Cleaning& how) {
  const Outcome literal = Clean(std::make_unique<LiteralDocument>(), text, how);
  const Outcome fast = Clean(std::make_unique<FastDocument>(how.blockSize, how.vectors), text, how);
  std::ostringstream out;
  out << how.Describe() << "\n  document: " << Quoted(text)
      << "\n  literal text: " << Quoted(literal.text) << "\n  program text: " << Quoted(fast.text)
      << "\n  pumps: " << literal.pumps << " vs " << fast.pumps;
  const std::size_t lines = std::max(literal.lines.size(), fast.lines.size());
  for (std::size_t i = 0; i < lines; ++i) {
    const std::string a = i < literal.lines.size() ? literal.lines[i] : "(none)";
    const std::string b = i < fast.lines.size() ? fast.lines[i] : "(none)";
    if (a != b) {
      out << "\n  first differing line " << i << ": " << a << " | " << b;
      break;
    }
  }
  return out.str();
}

// Markers the user might type besides the ones documents are made from: overlapping, one
// letter, with a NUL, and in small letters.
std::vector<MarkerBytes> RandomBanners(std::mt19937_64& rng) {
  static const std::vector<MarkerBytes> kExtra = {
      {"<", ">"}, {"a", "a"}, {std::string("x\0y", 3), "<"}, {"<span", "</span>"}, {"<!--", "-->"},
  };
  std::vector<MarkerBytes> banners;
  const std::size_t count = rng() % 4;
  for (std::size_t i = 0; i < count; ++i) {
    if (rng() % 4 == 0) {
      banners.push_back(kExtra[rng() % kExtra.size()]);
    } else {
      const MarkerPair& pair = SampleMarkers()[rng() % SampleMarkers().size()];
      banners.emplace_back(pair.first, pair.last);
    }
  }
  return banners;
}

Cleaning RandomCleaning(std::mt19937_64& rng) {
  Cleaning how;
  how.procedure = rng() % 2 == 0 ? static_cast<int>(rng() % kEachProcedureCount) : -1;
  for (bool& on : how.switches) {
    on = rng() % 3 != 0;
  }
  how.banners = RandomBanners(rng);
  if (how.procedure == 10 && how.banners.empty()) {
    how.banners.emplace_back("<div class=ad>", "</div>");
  }
  how.stopAtPump = rng() % 5 == 0 ? 1 + static_cast<int>(rng() % 30) : 0;
  // Tiny blocks put block edges inside nearly every match.
  constexpr std::array<std::size_t, 5> kBlockSizes{4, 7, 32, 256, BlockText::kDefaultBlockSize};
  how.blockSize = kBlockSizes[rng() % kBlockSizes.size()];
  const std::vector<VectorLevel> levels = RunnableVectorLevels();
  how.vectors = levels[rng() % levels.size()];
  return how;
}

// Pieces pushed into a document at random places, so that tags sit inside tags and removing
// one joins the halves of another ("<sp<span>an").
std::string Interleave(std::string text, std::mt19937_64& rng) {
  const std::size_t pieces = 1 + rng() % 8;
  for (std::size_t i = 0; i < pieces && !text.empty(); ++i) {
    text.insert(rng() % (text.size() + 1), RandomHtml(rng, 1 + rng() % 12));
  }
  return text;
}

// Mostly small documents, and every sixteenth may be large: the literal document costs a
// sweep of the whole text per search.
std::string RandomDocument(std::mt19937_64& rng, int seed) {
  std::size_t size = RandomDocumentSize(rng);
  if (size > 4000 && seed % 16 != 0) {
    size %= 600;
  }
  std::string text = RandomHtml(rng, size);
  if (rng() % 3 == 0) {
    text = Interleave(std::move(text), rng);
  }
  return text;
}

TEST(CleaningDifferential, SameBytesLinesAndPumpsOnRandomDocuments) {
  constexpr int kDocuments = 10'000;
  int failures = 0;
  for (int seed = 0; seed < kDocuments && failures < 3; ++seed) {
    std::mt19937_64 rng(static_cast<std::uint64_t>(seed));
    const std::string text = RandomDocument(rng, seed);
    const Cleaning how = RandomCleaning(rng);
    if (SameOutcome(text, how)) {
      continue;
    }
    ++failures;
    const std::string minimal =
        ShrinkCase<std::string>(text, [&](const std::string& t) { return !SameOutcome(t, how); });
    ADD_FAILURE() << "seed " << seed << ": " << Report(minimal, how);
  }
}

}  // namespace
}  // namespace varnow::test
