// SPDX-License-Identifier: MIT
// The attribute that opens a link in a new window, in three spellings.
#include <array>

#include "cleaning/Procedures.h"

namespace varnow {
namespace {

struct Target {
  std::string_view pattern;  // upper-cased for the search
  MessageId message;         // which shows it as written
};

// The third form stops before the closing apostrophe, which stays in the text.
constexpr std::array<Target, 3> kTargets{{
    {"TARGET=\"_BLANK\"", MessageId::kBlankQuoted},
    {"TARGET=_BLANK", MessageId::kBlankBare},
    {"TARGET='_BLANK", MessageId::kBlankApostrophe},
}};

}  // namespace

void RemoveBlankTargets(CleaningContext& ctx, std::string_view path) {
  Document& doc = ctx.Text();
  auto anyRemains = [&doc] {
    for (const Target& t : kTargets) {
      if (doc.PatternRemains(t.pattern)) {
        return true;
      }
    }
    return false;
  };
  // Every pass after a true loop test removes at least one occurrence; a pass that removes
  // nothing ends the loop all the same. The stop request is never read here.
  do {
    const std::uint64_t before = ctx.ChangeCount();
    for (const Target& t : kTargets) {
      const Pos p = doc.FindPattern(t.pattern);
      if (p != 0) {
        doc.Delete(p, static_cast<Pos>(t.pattern.size()));
        ctx.LogChange(path, t.message, p);
        ctx.PumpMessages();
      }
    }
    if (ctx.ChangeCount() == before) {
      return;
    }
  } while (anyRemains());
}

}  // namespace varnow
