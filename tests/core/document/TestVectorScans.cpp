// SPDX-License-Identifier: MIT
// The engine's vector scans against the plain reading of what they find: at every vector level
// this processor runs, the same answers as a search of an upper-cased copy of the text, and the
// same tag filter as the plain loop builds. Each text lies in a buffer of exactly its size, so
// that a scan reading past it is caught by the address sanitizer.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "document/PatternMatcher.h"
#include "document/TagStartFilter.h"
#include "support/VectorLevels.h"
#include "text/AsciiCase.h"

namespace varnow::test {
namespace {

using namespace std::string_view_literals;

// The first start of a match lying wholly inside `text`, from a search of its upper-cased copy.
std::size_t Reference(std::string_view text, std::string_view pattern) {
  return AsciiUpper(text).find(pattern);
}

std::size_t FindAt(VectorLevel level, std::string_view pattern, const std::string& text) {
  const std::vector<char> exact(text.begin(), text.end());
  return PatternMatcher(pattern, level).FindIn(exact.data(), exact.size());
}

// Patterns whose filter bytes are letters, non-letters or both (each form of the 32-byte scan),
// one byte long, with NUL and cp1251 bytes, and one that can never match (a small letter).
constexpr std::array kPatterns = {
    "<SPAN"sv,        "</SPAN>"sv,   "<P "sv,         "TARGET=\"_BLANK\""sv,
    "ONMOUSEOVER="sv, "![ENDIF]>"sv, "<!-- AD -->"sv, "<"sv,
    "\0"sv,           "A\0B"sv,      "\xE0\xE1"sv,    "<META NAME=PROGID"sv,
    "<b"sv,
};

// Bytes the patterns are made of, in both cases, so that candidates and matches are frequent.
std::string CrowdedText(std::mt19937_64& rng, std::size_t size) {
  static constexpr std::string_view kBytes = "<</>  =\"_!-SPANspanTARGEtargeBLKblk\0\xE0\xE1\r\n"sv;
  std::string text(size, ' ');
  for (char& c : text) {
    c = kBytes[rng() % kBytes.size()];
  }
  return text;
}

TEST(VectorScans, EveryLevelFindsTheFirstMatchOfAnUpperCasedSearch) {
  std::mt19937_64 rng(37);
  for (const VectorLevel level : RunnableVectorLevels()) {
    for (int round = 0; round < 3000; ++round) {
      const std::string_view pattern = kPatterns[rng() % kPatterns.size()];
      std::string text = CrowdedText(rng, rng() % 300);
      if (rng() % 2 == 0 && text.size() >= pattern.size()) {
        // A match somewhere, its letters in either case.
        const std::size_t at = rng() % (text.size() - pattern.size() + 1);
        for (std::size_t i = 0; i < pattern.size(); ++i) {
          const char c = pattern[i];
          text[at + i] = c >= 'A' && c <= 'Z' && rng() % 2 == 0 ? static_cast<char>(c | 0x20) : c;
        }
      }
      ASSERT_EQ(FindAt(level, pattern, text), Reference(text, pattern))
          << VectorLevelName(level) << " scan of " << text.size() << " bytes for pattern "
          << pattern.size() << " bytes long, round " << round;
    }
  }
}

TEST(VectorScans, EveryStartOfEveryRowAndTailIsSeen) {
  // One match alone at each start in texts as long as the rows, their multiples and the tails
  // around them, in filler no pattern byte occurs in.
  for (const VectorLevel level : RunnableVectorLevels()) {
    for (const std::string_view pattern : {"<SPAN"sv, "</SPAN>"sv, "TARGET=_BLANK"sv, "<"sv}) {
      for (const std::size_t size : {15, 16, 17, 31, 32, 33, 63, 127, 128, 129, 160, 200}) {
        for (std::size_t at = 0; at + pattern.size() <= size; ++at) {
          std::string text(size, 'x');
          text.replace(at, pattern.size(), pattern);
          ASSERT_EQ(FindAt(level, pattern, text), at)
              << VectorLevelName(level) << ", " << size << " bytes, match at " << at;
        }
        ASSERT_EQ(FindAt(level, pattern, std::string(size, 'x')), PatternMatcher::npos);
      }
    }
  }
}

TEST(VectorScans, AMovedMatcherSearchesItsOwnBytes) {
  // A matcher moves when the document forgets its patterns and when a vector of them grows;
  // its scans must follow its bytes.
  const std::string text = std::string(100, 'x') + "<span" + std::string(100, 'x');
  for (const VectorLevel level : RunnableVectorLevels()) {
    for (const std::string_view pattern : {"<SPAN"sv, "X<SPANXXXXXXXXXXXXXXXXXXXX"sv}) {
      const std::size_t expected = Reference(text, pattern);
      std::vector<PatternMatcher> matchers;
      matchers.emplace_back(pattern, level);
      matchers.emplace_back(PatternMatcher(pattern, level));  // the first moves as it grows
      PatternMatcher assigned("<P", level);
      assigned = PatternMatcher(pattern, level);
      for (const PatternMatcher* m : {&matchers[0], &matchers[1], &assigned}) {
        EXPECT_EQ(m->FindIn(text.data(), text.size()), expected) << VectorLevelName(level);
      }
    }
  }
}

TEST(VectorScans, TagFilterHoldsTheSameStartsAtEveryLevel) {
  std::mt19937_64 rng(11);
  for (int round = 0; round < 500; ++round) {
    const std::string text = CrowdedText(rng, rng() % 200);
    const std::string after = CrowdedText(rng, rng() % 3);
    const std::vector<char> exact(text.begin(), text.end());
    TagStartFilter plain;
    plain.AddAll(exact.data(), exact.size(), after, VectorLevel::kScalar);
    for (const VectorLevel level : RunnableVectorLevels()) {
      TagStartFilter vector;
      vector.AddAll(exact.data(), exact.size(), after, level);
      for (unsigned bit = 0; bit < 512; ++bit) {
        ASSERT_EQ(vector.MayHold(bit), plain.MayHold(bit))
            << VectorLevelName(level) << ", bit " << bit << ", round " << round;
      }
    }
  }
}

}  // namespace
}  // namespace varnow::test
