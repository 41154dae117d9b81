// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "document/BlockText.h"
#include "document/Document.h"
#include "document/EditSeams.h"
#include "document/PatternMatcher.h"

namespace varnow {

// Bytes of the text right after an edit, around the edited place: bytes[0] is at `first`.
struct EditWindow {
  Pos first = 1;
  std::string_view bytes;
};

// What is known about where one pattern occurs: every occurrence that starts before
// KnownBelow() is among the few starts listed. A search extends that knowledge as far as it
// has to and no further, and an edit keeps it true by looking only at the starts it can make
// or break (those whose match would touch the edited place) and shifting the rest, so that a
// remembered answer costs nothing to keep while the text changes elsewhere.
class TrackedPattern {
 public:
  TrackedPattern(std::string_view pattern, VectorLevel vectors);

  std::string_view Pattern() const { return pattern_; }
  Pos Size() const { return static_cast<Pos>(pattern_.size()); }

  // The first occurrence that starts before `limit` (at most text.Length() + 1), or 0.
  Pos First(const BlockText& text, Pos limit);

  // Whether an edit at `at` reaches what is known.
  bool Touches(Pos at) const { return knownBelow_ > at - Size() + 1; }
  // Whether the edit can have made a new occurrence (the pattern must hold one of its pairs).
  bool MayMatchAcross(const EditSeams& seams) const {
    if (!matcher_.CanMatch()) {
      return false;
    }
    if (pattern_.size() == 1) {
      return HasByte(seams.Inserted());
    }
    const auto& bits = seams.Bits();
    return ((pairs_[0] & bits[0]) | (pairs_[1] & bits[1]) | (pairs_[2] & bits[2]) |
            (pairs_[3] & bits[3])) != 0;
  }

  // Called after the `removed` bytes at `at` were replaced by `inserted` new ones (either may
  // be 0). `window` is null when the edit cannot have made an occurrence, else it holds the
  // new text from at - Size() + 1 (or 1) to at + inserted + Size() - 2 (or the end).
  void AfterReplace(Pos at, Pos removed, Pos inserted, Pos newLength, const EditWindow* window) {
    // A start at or before at - Size() has its whole match before the edit: untouched.
    if (knownBelow_ <= at - Size() + 1) {
      return;
    }
    const Pos end = at + removed;  // the first old position behind the removed bytes
    if (window == nullptr && (startCount_ == 0 || starts_[0] >= end)) {
      // Nothing new and nothing broken: the starts only move. (Most edits, for most patterns.)
      const Pos delta = inserted - removed;
      for (std::size_t i = 0; i < startCount_; ++i) {
        starts_[i] += delta;
      }
      knownBelow_ = KnownBelowAfter(at, removed, inserted);
      return;
    }
    RecheckAroundEdit(at, removed, inserted, newLength, window);
  }

 private:
  // Few are ever needed: the first occurrence, and any an edit made just before it.
  static constexpr std::size_t kMaxStarts = 4;

  class StartList;
  // What is known after the edit: known starts behind the removed bytes stay known; if what
  // was known ended before them, everything up to the new bytes' end is known now (nothing can
  // start there unseen: the window is searched, or the edit could make no match at all).
  Pos KnownBelowAfter(Pos at, Pos removed, Pos inserted) const {
    return knownBelow_ >= at + removed ? knownBelow_ + inserted - removed : at + inserted;
  }
  // AfterReplace() where the edit may have made or broken an occurrence.
  void RecheckAroundEdit(Pos at, Pos removed, Pos inserted, Pos newLength,
                         const EditWindow* window);
  bool HasByte(std::string_view bytes) const;
  void FindInWindow(StartList& list, Pos from, Pos to, const EditWindow& window) const;
  // Takes `list` as the starts known now, all of those before `knownBelow`.
  void AdoptStarts(const StartList& list, Pos knownBelow);

  std::string pattern_;
  PatternMatcher matcher_;
  std::array<std::uint64_t, 4> pairs_{};  // a filter of the pattern's byte pairs
  Pos knownBelow_ = 1;
  std::array<Pos, kMaxStarts> starts_{};
  std::size_t startCount_ = 0;
};

}  // namespace varnow
