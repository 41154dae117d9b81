// SPDX-License-Identifier: MIT
// Random documents through every procedure: each must end, every edit it makes must be one
// logged change of the kind its message names, and nothing else may differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <random>

#include "cleaning/ProcedureOrder.h"
#include "cleaning/ProcedureTable.h"
#include "cleaning/Procedures.h"
#include "messages/MessageText.h"
#include "support/CleaningHarness.h"
#include "support/ProcedureList.h"
#include "support/RandomHtml.h"
#include "text/AsciiCase.h"
#include "text/Cp1251.h"

namespace varnow {
namespace {

using test::kPath;

struct Event {
  enum Kind { kDelete, kInsert, kLog } kind;
  Pos index = 0;
  std::string bytes;  // deleted or inserted bytes, or the log line
  bool inRange = true;
  char after = 0;  // the byte that follows a deletion, 0 at the end
};

// Forwards to the program's document and records every edit.
class RecordingDocument final : public Document {
 public:
  explicit RecordingDocument(std::vector<Event>& events)
      : inner_(test::MakeProgramDocument()), events_(events) {}

  void Assign(std::string bytes) override { inner_->Assign(std::move(bytes)); }
  void Append(std::string_view bytes) override { inner_->Append(bytes); }
  void Clear() override { inner_->Clear(); }
  Pos Length() const override { return inner_->Length(); }
  std::string_view View() override { return inner_->View(); }
  Pos FindPattern(std::string_view p) override { return inner_->FindPattern(p); }
  bool PatternRemains(std::string_view p) override { return inner_->PatternRemains(p); }
  Pos FindTagEnd(Pos start) override { return inner_->FindTagEnd(start); }

  void Delete(Pos index, Pos count) override {
    const std::string_view text = inner_->View();
    Event e{Event::kDelete, index, {}, index >= 1 && count >= 1 && index + count - 1 <= Length()};
    if (e.inRange) {
      const auto from = static_cast<std::size_t>(index - 1);
      e.bytes = std::string(text.substr(from, static_cast<std::size_t>(count)));
      const std::size_t next = from + e.bytes.size();
      e.after = next < text.size() ? text[next] : 0;
    }
    events_.push_back(std::move(e));
    inner_->Delete(index, count);
  }
  void Insert(std::string_view text, Pos index) override {
    events_.push_back({Event::kInsert, index, std::string(text)});
    inner_->Insert(text, index);
  }

 private:
  std::unique_ptr<Document> inner_;
  std::vector<Event>& events_;
};

// What a message says was removed, and how to recognise that in the deleted bytes.
struct ChangeKind {
  enum Shape { kTagToEnd, kReduce, kExact, kHandler, kBlock, kOrphan } shape;
  std::vector<std::string> patterns;  // any of them (kBlock: opening, closing)
  std::string bare = {};              // kReduce: the tag put in its place
};

std::map<std::string, ChangeKind> KnownMessages(const std::vector<test::MarkerPair>& banners) {
  using K = ChangeKind;
  std::map<std::string, ChangeKind> m = {
      {" удален <script>", {K::kBlock, {"<SCRIPT", "</SCRIPT>"}}},
      {" удален пустой </script>", {K::kOrphan, {"</SCRIPT>"}}},
      {" удален <noscript>", {K::kBlock, {"<NOSCRIPT", "</NOSCRIPT>"}}},
      {" удален пустой </noscript>", {K::kOrphan, {"</NOSCRIPT>"}}},
      {" удален <iframe>", {K::kBlock, {"<IFRAME", "</IFRAME>"}}},
      {" удален пустой </iframe>", {K::kOrphan, {"</IFRAME>"}}},
      {" удален <style>", {K::kBlock, {"<STYLE", "</STYLE>"}}},
      {" удален пустой </style>", {K::kOrphan, {"</STYLE>"}}},
      {" заменен <p...>", {K::kReduce, {"<P "}, "<p>"}},
      {" удален <span>", {K::kTagToEnd, {"<SPAN"}}},
      {" удален </span>", {K::kExact, {"</SPAN>"}}},
      {" удален onMouseOver", {K::kHandler, {"ONMOUSEOVER="}}},
      {" удален <meta name=ProgId>", {K::kTagToEnd, {"<META NAME=PROGID"}}},
      {" удалено <meta name=Generator>", {K::kTagToEnd, {"<META NAME=GENERATOR"}}},
      {" удалено <meta name=Originator>", {K::kTagToEnd, {"<META NAME=ORIGINATOR"}}},
      {" удален <!--[if...]>", {K::kBlock, {"<!--[IF", "<![ENDIF]-->"}}},
      {" удален <![if...]>", {K::kBlock, {"<![IF ", "![ENDIF]>"}}},
      {" удален пустой <![endif]-->", {K::kOrphan, {"<![ENDIF]-->", "![ENDIF]>"}}},
      {" удален <o:p>", {K::kExact, {"<O:P>"}}},
      {" удален </o:p>", {K::kExact, {"</O:P>"}}},
      {" заменен <b...>", {K::kReduce, {"<B ", "<B\r\n"}, "<b>"}},
      {" заменен <i...>", {K::kReduce, {"<I ", "<I\r\n"}, "<i>"}},
      {" удален <table...>", {K::kReduce, {"<TABLE "}, "<table>"}},
      {" удален <tr...>", {K::kReduce, {"<TR "}, "<tr>"}},
      {" удален <td...>", {K::kReduce, {"<TD "}, "<td>"}},
      {" удален <body...>", {K::kReduce, {"<BODY "}, "<body>"}},
      {" удален <html...>", {K::kReduce, {"<HTML "}, "<html>"}},
      {" удален <font>", {K::kTagToEnd, {"<FONT"}}},
      {" удален </font>", {K::kExact, {"</FONT>"}}},
      {" удален target=\"_blank\"", {K::kExact, {"TARGET=\"_BLANK\""}}},
      {" удален target=_blank", {K::kExact, {"TARGET=_BLANK"}}},
      {" удален target='_blank", {K::kExact, {"TARGET='_BLANK"}}},
  };
  for (const test::MarkerPair& b : banners) {
    m[" удален " + Cp1251ToUtf8(b.first)] = {K::kBlock, {AsciiUpper(b.first), AsciiUpper(b.last)}};
    m[" удален пустой " + Cp1251ToUtf8(b.last)] = {K::kOrphan, {AsciiUpper(b.last)}};
  }
  return m;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}
bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}
bool StartsWithAny(std::string_view s, const std::vector<std::string>& prefixes) {
  for (const std::string& p : prefixes) {
    if (StartsWith(s, p)) {
      return true;
    }
  }
  return false;
}

// Splits a log line into its message (without " [n]") and n.
std::optional<std::pair<std::string, Pos>> ParseLine(const std::string& line) {
  if (!StartsWith(line, kPath) || line.empty() || line.back() != ']') {
    return std::nullopt;
  }
  const std::size_t open = line.rfind(" [");
  if (open == std::string::npos || open < kPath.size()) {
    return std::nullopt;
  }
  const std::string digits = line.substr(open + 2, line.size() - open - 3);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return std::pair{line.substr(kPath.size(), open - kPath.size()), std::stoll(digits)};
}

// Checks one change: a deletion, its log line and, for a reduction, the inserted bare tag.
// Returns the problem, or nothing.
std::optional<std::string> CheckChange(const Event& del, const Event& log, const Event* insert,
                                       const std::map<std::string, ChangeKind>& known) {
  if (!del.inRange) {
    return "deletion outside the text at " + std::to_string(del.index);
  }
  const auto parsed = ParseLine(log.bytes);
  if (!parsed) {
    return "malformed line: " + log.bytes;
  }
  const auto& [message, number] = *parsed;
  const auto kind = known.find(message);
  if (kind == known.end()) {
    return "unknown message: " + message;
  }
  const ChangeKind& k = kind->second;
  const std::string deleted = AsciiUpper(del.bytes);
  const bool positioned = k.shape == ChangeKind::kOrphan || number == del.index;
  if (!positioned) {
    return "line number " + std::to_string(number) + " for a change at " +
           std::to_string(del.index);
  }
  bool shapeOk = false;
  switch (k.shape) {
    case ChangeKind::kTagToEnd:
    case ChangeKind::kReduce:
      // Through the first '>' after the pattern, and no further.
      shapeOk = StartsWithAny(deleted, k.patterns) && deleted.back() == '>' &&
                deleted.find('>') == deleted.size() - 1;
      break;
    case ChangeKind::kExact:
      shapeOk = deleted == k.patterns[0];
      break;
    case ChangeKind::kHandler:
      shapeOk = StartsWith(deleted, k.patterns[0]) && deleted.find('>') == std::string::npos &&
                del.after == '>';
      break;
    case ChangeKind::kBlock:
      // From the opening through the closing. When the opening begins inside the closing
      // (markers that share text), only their overlap goes: a head of the one, a tail of the
      // other.
      shapeOk = (StartsWith(deleted, k.patterns[0]) || StartsWith(k.patterns[0], deleted)) &&
                (EndsWith(deleted, k.patterns[1]) || EndsWith(k.patterns[1], deleted));
      break;
    case ChangeKind::kOrphan:
      shapeOk = (deleted == k.patterns[0] || (k.patterns.size() > 1 && deleted == k.patterns[1])) &&
                (number == 0 || number >= del.index + static_cast<Pos>(deleted.size()));
      break;
  }
  if (!shapeOk) {
    return "deleted " + test::Quoted(del.bytes) + " for " + message;
  }
  const bool wantsInsert = k.shape == ChangeKind::kReduce;
  if (wantsInsert != (insert != nullptr)) {
    return wantsInsert ? "reduction without a bare tag" : "insertion after " + message;
  }
  if (insert && (insert->bytes != k.bare || insert->index != del.index)) {
    return "inserted " + insert->bytes + " at " + std::to_string(insert->index);
  }
  return std::nullopt;
}

// Runs `clean` over `input` and checks every recorded change; gives the first problem.
std::optional<std::string> CleanAndCheck(const std::string& input,
                                         const std::vector<test::MarkerPair>& banners,
                                         int stopAtPump,
                                         const std::function<void(CleaningContext&)>& clean) {
  std::vector<Event> events;
  RecordingDocument doc(events);
  doc.Assign(input);
  int pumps = 0;
  const StopToken stop([&] { return ++pumps == stopAtPump; });
  CleaningContext ctx(doc, stop, [&](const LoggedChange& change) {
    events.push_back({Event::kLog, 0, ChangeLine(change)});
  });
  clean(ctx);

  const auto known = KnownMessages(banners);
  std::string model = input;  // the input with exactly the recorded edits applied
  std::size_t changes = 0;
  for (std::size_t i = 0; i < events.size(); ++i) {
    if (events[i].kind != Event::kDelete || i + 1 >= events.size() ||
        events[i + 1].kind != Event::kLog) {
      return "event " + std::to_string(i) + " is not a deletion followed by its line";
    }
    const Event* insert =
        i + 2 < events.size() && events[i + 2].kind == Event::kInsert ? &events[i + 2] : nullptr;
    if (auto problem = CheckChange(events[i], events[i + 1], insert, known)) {
      return problem;
    }
    model.erase(static_cast<std::size_t>(events[i].index - 1), events[i].bytes.size());
    if (insert) {
      model.insert(static_cast<std::size_t>(insert->index - 1), insert->bytes);
    }
    i += insert ? 2 : 1;
    ++changes;
  }
  if (std::string(doc.View()) != model) {
    return std::string("the text differs outside the logged changes");
  }
  if (changes == 0 ? model != input : model.size() >= input.size()) {
    return std::string("a change did not shorten the text");
  }
  return std::nullopt;
}

TEST(RandomDocuments, EveryChangeIsLoggedAndNothingElseDiffers) {
  const auto& markers = test::SampleMarkers();
  for (std::uint64_t seed = 1; seed <= 1500; ++seed) {
    std::mt19937_64 rng(seed);
    const std::string input = test::RandomHtml(rng, test::RandomDocumentSize(rng));
    const int stopAtPump = rng() % 3 == 0 ? 1 + static_cast<int>(rng() % 20) : 0;
    auto fail = [&](const char* what, const std::string& problem) {
      ADD_FAILURE() << what << ", seed " << seed << ", stop at pump " << stopAtPump << ": "
                    << problem << "\ninput: " << test::Quoted(input);
    };

    for (const test::ListedProcedure& listed : test::kEachProcedure) {
      if (listed.run == nullptr) {
        continue;  // the banner procedure, with markers below
      }
      if (auto problem = CleanAndCheck(input, {}, stopAtPump,
                                       [p = listed.run](CleaningContext& c) { p(c, kPath); })) {
        return fail(listed.name, *problem);
      }
    }
    const test::MarkerPair& pair = markers[rng() % markers.size()];
    if (auto problem = CleanAndCheck(input, {pair}, stopAtPump, [&](CleaningContext& c) {
          RemoveBannerBlocks(c, kPath, pair.first, pair.last);
        })) {
      return fail("RemoveBannerBlocks", *problem);
    }

    std::array<bool, kProcedureCount> on{};
    for (bool& s : on) {
      s = rng() % 2 == 0;
    }
    std::vector<MarkerBytes> slots;
    for (const test::MarkerPair& m : markers) {
      if (!m.first.empty() || !m.last.empty()) {
        slots.emplace_back(m.first, m.last);
      }
    }
    if (auto problem = CleanAndCheck(input, markers, stopAtPump, [&](CleaningContext& c) {
          RunProcedures(
              c, kPath, [&](ProcedureId s) { return on[Index(s)]; }, FixedBannerSlots(slots));
        })) {
      return fail("RunProcedures", *problem);
    }
  }
}

}  // namespace
}  // namespace varnow
