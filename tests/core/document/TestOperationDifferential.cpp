// SPDX-License-Identifier: MIT
// The program's document against the literal one, operation by operation: random searches and
// edits, out-of-range arguments included, must give the same results in every state.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <sstream>

#include "ShrinkCase.h"
#include "document/FastDocument.h"
#include "support/LiteralDocument.h"
#include "support/RandomHtml.h"
#include "support/VectorLevels.h"
#include "text/AsciiCase.h"

namespace varnow::test {
namespace {

using namespace std::string_view_literals;

struct Op {
  enum Kind { kFind, kRemains, kTagEnd, kDelete, kInsert, kAppend, kView, kAssign, kClear };
  Kind kind;
  std::string text;  // pattern or inserted bytes
  Pos a = 0;         // position
  Pos b = 0;         // count

  std::string Describe() const {
    std::ostringstream out;
    switch (kind) {
      case kFind:
        out << "FindPattern(" << Quoted(text) << ")";
        break;
      case kRemains:
        out << "PatternRemains(" << Quoted(text) << ")";
        break;
      case kTagEnd:
        out << "FindTagEnd(" << a << ")";
        break;
      case kDelete:
        out << "Delete(" << a << ", " << b << ")";
        break;
      case kInsert:
        out << "Insert(" << Quoted(text) << ", " << a << ")";
        break;
      case kAppend:
        out << "Append(" << Quoted(text) << ")";
        break;
      case kView:
        out << "View()";
        break;
      case kAssign:
        out << "Assign(" << Quoted(text) << ")";
        break;
      case kClear:
        out << "Clear()";
        break;
    }
    return out.str();
  }
};

struct Case {
  std::string start;
  std::vector<Op> ops;
  std::size_t blockSize = 4;
  VectorLevel vectors = DetectVectorLevel();
};

// What the operation answered, and the length after it.
std::string Apply(Document& doc, const Op& op) {
  std::string answer;
  switch (op.kind) {
    case Op::kFind:
      answer = std::to_string(doc.FindPattern(op.text));
      break;
    case Op::kRemains:
      answer = doc.PatternRemains(op.text) ? "true" : "false";
      break;
    case Op::kTagEnd:
      answer = std::to_string(doc.FindTagEnd(op.a));
      break;
    case Op::kDelete:
      doc.Delete(op.a, op.b);
      break;
    case Op::kInsert:
      doc.Insert(op.text, op.a);
      break;
    case Op::kAppend:
      doc.Append(op.text);
      break;
    case Op::kView:
      // The chunks, joined, and the whole text: the same bytes twice.
      for (const std::string_view piece : doc.Chunks()) {
        answer += piece;
      }
      answer += doc.View();
      break;
    case Op::kAssign:
      doc.Assign(op.text);
      break;
    case Op::kClear:
      doc.Clear();
      break;
  }
  return answer + " / " + std::to_string(doc.Length());
}

// Every answer of the case, then the final text.
std::vector<std::string> Replay(Document& doc, const Case& c) {
  std::vector<std::string> answers;
  doc.Assign(c.start);
  for (const Op& op : c.ops) {
    answers.push_back(Apply(doc, op));
  }
  answers.push_back(std::string(doc.View()));
  return answers;
}

// The index of the first operation whose answer differs, or -1 when none does.
int FirstDifference(const Case& c) {
  LiteralDocument literal;
  FastDocument fast(c.blockSize, c.vectors);
  const auto expected = Replay(literal, c);
  const auto actual = Replay(fast, c);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (expected[i] != actual[i]) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

constexpr std::array kPatterns = {
    "<SCRIPT"sv,
    "</SCRIPT>"sv,
    "<SPAN"sv,
    "</SPAN>"sv,
    "<P "sv,
    "<FONT"sv,
    "</FONT>"sv,
    "ONMOUSEOVER="sv,
    "<TABLE "sv,
    "<TR "sv,
    "<TD "sv,
    "<BODY "sv,
    "<HTML "sv,
    "<B "sv,
    "<I\r\n"sv,
    "<!--[IF"sv,
    "<![ENDIF]-->"sv,
    "![ENDIF]>"sv,
    "<O:P>"sv,
    "TARGET='_BLANK"sv,
    "<META NAME=PROGID"sv,
    ">"sv,
    "<"sv,
    "A"sv,
    "AA"sv,
    "\xCA\xCE"sv,
    "<p>"sv,
    "x"sv,
    "\0"sv,
    "A\0B"sv,
    "\0<"sv,
    ""sv,
    // Patterns that overlap themselves, so that several matches sit within one pattern length.
    "<B<B"sv,
    "AAA"sv,
    "A-A"sv,
    "--"sv,
    "aaaaaaa"sv,
    "a-a-a-a"sv,
    "-----"sv,
};

// Texts of few distinct bytes, searched for patterns that overlap themselves: matches crowd
// together, several inside one pattern length.
constexpr std::string_view kCrowdBytes = "aAaA-aB< ";
constexpr std::array kCrowdPatterns = {"A"sv,    "AA"sv,  "AAA"sv,   "A-A"sv, "--"sv,
                                       "<B<B"sv, "-A-"sv, "AAAAA"sv, "B B"sv};

std::string CrowdText(std::mt19937_64& rng, std::size_t size) {
  std::string text;
  for (std::size_t i = 0; i < size; ++i) {
    text += kCrowdBytes[rng() % kCrowdBytes.size()];
  }
  return text;
}

// A pattern that is likely to occur: a named one, or a piece of the text upper-cased, maybe
// with a NUL or a small letter in it.
std::string RandomPattern(std::mt19937_64& rng, std::string_view text, bool crowd) {
  if (crowd && rng() % 2 == 0) {
    return std::string(kCrowdPatterns[rng() % kCrowdPatterns.size()]);
  }
  if (rng() % 2 == 0 || text.empty()) {
    return std::string(kPatterns[rng() % kPatterns.size()]);
  }
  const std::size_t at = rng() % text.size();
  std::string piece = AsciiUpper(text.substr(at, 1 + rng() % 6));
  if (rng() % 10 == 0) {
    piece[rng() % piece.size()] = rng() % 2 ? '\0' : 'q';
  }
  return piece;
}

// Edits often land on or just around the last match found: that is where a document's
// remembered answers have to change.
Pos RandomPosition(std::mt19937_64& rng, Pos length, Pos lastMatch) {
  switch (rng() % 8) {
    case 2:
    case 3:
      if (lastMatch > 0) {
        return lastMatch - 3 + static_cast<Pos>(rng() % 10);
      }
      [[fallthrough]];
    case 0:
      return -static_cast<Pos>(rng() % 3);  // below 1
    case 1:
      return length + static_cast<Pos>(rng() % 3);  // at and past the end
    default:
      return 1 + static_cast<Pos>(rng() % static_cast<std::uint64_t>(length + 1));
  }
}

std::string RandomInsertion(std::mt19937_64& rng, bool crowd) {
  if (crowd) {
    return CrowdText(rng, rng() % 4 == 0 ? 100 : rng() % 8);
  }
  switch (rng() % 6) {
    case 0:
      return "";
    case 1:
      return std::string(kPatterns[rng() % kPatterns.size()]);
    case 2:
      return RandomHtml(rng, 200 + rng() % 300);  // more than a small block
    default:
      return RandomHtml(rng, 1 + rng() % 12);
  }
}

Case RandomCase(std::mt19937_64& rng) {
  Case c;
  constexpr std::array<std::size_t, 4> kBlockSizes{4, 9, 64, BlockText::kDefaultBlockSize};
  c.blockSize = kBlockSizes[rng() % kBlockSizes.size()];
  const bool crowd = rng() % 3 == 0;
  c.start = crowd ? CrowdText(rng, rng() % 200) : RandomHtml(rng, rng() % 800);
  LiteralDocument shadow;  // follows the operations so that they fit the text
  shadow.Assign(c.start);
  std::vector<Pos> answers;
  const std::size_t count = 20 + rng() % 100;
  for (std::size_t i = 0; i < count; ++i) {
    const Pos length = shadow.Length();
    const Pos lastMatch = answers.empty() ? 0 : answers.back();
    Op op{Op::kFind, {}};
    const auto roll = rng() % 100;
    if (roll < 25) {
      op = {Op::kFind, RandomPattern(rng, shadow.View(), crowd)};
    } else if (roll < 45) {
      op = {Op::kRemains, RandomPattern(rng, shadow.View(), crowd)};
    } else if (roll < 55) {
      op = {Op::kTagEnd, {}, RandomPosition(rng, length, lastMatch)};
    } else if (roll < 75) {
      const Pos count = rng() % 10 == 0 ? -static_cast<Pos>(rng() % 2)
                                        : static_cast<Pos>(rng() % (rng() % 4 == 0 ? 200 : 12));
      op = {Op::kDelete, {}, RandomPosition(rng, length, lastMatch), count};
    } else if (roll < 92) {
      op = {Op::kInsert, RandomInsertion(rng, crowd), RandomPosition(rng, length, lastMatch)};
    } else if (roll < 96) {
      op = {Op::kAppend, RandomInsertion(rng, crowd)};
    } else if (roll < 98) {
      op = {Op::kView, {}};
    } else if (roll < 99) {
      op = {Op::kAssign, RandomHtml(rng, rng() % 300)};
    } else {
      op = {Op::kClear, {}};
    }
    c.ops.push_back(op);
    const std::string answer = Apply(shadow, op);
    if (op.kind == Op::kFind && answer[0] != '0') {
      answers.push_back(std::stoll(answer));
    }
    if (op.kind == Op::kDelete && rng() % 3 == 0) {
      // A replacement: new bytes, shorter or longer, where the deleted ones stood.
      const Op insert{Op::kInsert, RandomInsertion(rng, crowd), op.a};
      c.ops.push_back(insert);
      Apply(shadow, insert);
    }
  }
  const std::vector<VectorLevel> levels = RunnableVectorLevels();
  c.vectors = levels[rng() % levels.size()];
  return c;
}

TEST(OperationDifferential, SameAnswersForRandomOperationSequences) {
  constexpr int kSequences = 10'000;
  int failures = 0;
  for (int seed = 0; seed < kSequences && failures < 3; ++seed) {
    std::mt19937_64 rng(static_cast<std::uint64_t>(seed) + 1'000'000);
    const Case c = RandomCase(rng);
    if (FirstDifference(c) < 0) {
      continue;
    }
    ++failures;
    Case small = c;
    small.ops = ShrinkCase<std::vector<Op>>(c.ops, [&](const std::vector<Op>& ops) {
      return FirstDifference({c.start, ops, c.blockSize, c.vectors}) >= 0;
    });
    small.start = ShrinkCase<std::string>(c.start, [&](const std::string& start) {
      return FirstDifference({start, small.ops, c.blockSize, c.vectors}) >= 0;
    });
    for (Op& op : small.ops) {
      op.text = ShrinkCase<std::string>(op.text, [&](const std::string& text) {
        Case trial = small;
        trial.ops[static_cast<std::size_t>(&op - small.ops.data())].text = text;
        return FirstDifference(trial) >= 0;
      });
    }
    std::ostringstream out;
    out << "seed " << seed << ", blocks of " << small.blockSize << ", "
        << VectorLevelName(small.vectors) << " scans\n  Assign(" << Quoted(small.start) << ")";
    for (const Op& op : small.ops) {
      out << "\n  " << op.Describe();
    }
    const auto at = static_cast<std::size_t>(FirstDifference(small));
    LiteralDocument literal;
    FastDocument fast(small.blockSize, small.vectors);
    out << "\n  differs at step " << at << ": literal " << Quoted(Replay(literal, small)[at])
        << ", program " << Quoted(Replay(fast, small)[at]);
    ADD_FAILURE() << out.str();
  }
}

}  // namespace
}  // namespace varnow::test
