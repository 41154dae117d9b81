// SPDX-License-Identifier: MIT
#include "document/TrackedPattern.h"

#include <algorithm>

namespace varnow {

// Starts collected in ascending order; past its capacity the first start that does not fit
// becomes the end of what is known.
class TrackedPattern::StartList {
 public:
  void Add(Pos start) {
    if (overflowAt_ != 0) {
      return;
    }
    if (count_ == kMaxStarts) {
      overflowAt_ = start;
      return;
    }
    starts_[count_++] = start;
  }
  Pos KnownBelow(Pos otherwise) const { return overflowAt_ != 0 ? overflowAt_ : otherwise; }

  std::array<Pos, kMaxStarts> starts_{};
  std::size_t count_ = 0;
  Pos overflowAt_ = 0;
};

TrackedPattern::TrackedPattern(std::string_view pattern, VectorLevel vectors)
    : pattern_(pattern), matcher_(pattern, vectors) {
  for (std::size_t i = 1; i < pattern.size(); ++i) {
    const unsigned bit = EditSeams::PairBit(pattern[i - 1], pattern[i]);
    pairs_[bit / 64] |= std::uint64_t{1} << (bit % 64);
  }
}

Pos TrackedPattern::First(const BlockText& text, Pos limit) {
  if (startCount_ > 0) {
    return starts_[0] < limit ? starts_[0] : 0;
  }
  if (knownBelow_ >= limit) {
    return 0;
  }
  const Pos found = text.Find(matcher_, knownBelow_, limit - 1);
  if (found != 0) {
    starts_[0] = found;
    startCount_ = 1;
    knownBelow_ = found + 1;
    return found;
  }
  // Every start below the limit is now known to hold none (starts too late for a whole match
  // cannot hold one either).
  knownBelow_ = std::min(limit, text.Length() + 1);
  return 0;
}

bool TrackedPattern::HasByte(std::string_view bytes) const {
  if (matcher_.Folded(0) == pattern_[0]) {
    // Not a letter (the NUL tracked for every text, above all): only the byte itself matches.
    return bytes.find(pattern_[0]) != std::string_view::npos;
  }
  for (const char c : bytes) {
    if (matcher_.ByteMatches(0, c)) {
      return true;
    }
  }
  return false;
}

void TrackedPattern::FindInWindow(StartList& list, Pos from, Pos to,
                                  const EditWindow& window) const {
  if (!matcher_.CanMatch()) {
    return;
  }
  // A handful of starts: a plain loop beats setting up the vector filter.
  const char* bytes = window.bytes.data() - window.first;
  for (Pos start = from; start <= to; ++start) {
    if (matcher_.MatchesAt(bytes + start)) {
      list.Add(start);
    }
  }
}

void TrackedPattern::AdoptStarts(const StartList& list, Pos knownBelow) {
  starts_ = list.starts_;
  startCount_ = list.count_;
  knownBelow_ = list.KnownBelow(knownBelow);
}

void TrackedPattern::RecheckAroundEdit(Pos at, Pos removed, Pos inserted, Pos newLength,
                                       const EditWindow* window) {
  const Pos low = at - Size() + 1;
  const Pos end = at + removed;
  const Pos delta = inserted - removed;
  const Pos knownBelow = KnownBelowAfter(at, removed, inserted);
  if (window == nullptr) {
    // Nothing new: the starts that touched the removed bytes go, those behind them move.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < startCount_; ++i) {
      if (starts_[i] < low) {
        starts_[kept++] = starts_[i];
      } else if (starts_[i] >= end) {
        starts_[kept++] = starts_[i] + delta;
      }
    }
    startCount_ = kept;
    knownBelow_ = knownBelow;
    return;
  }
  StartList list;
  for (std::size_t i = 0; i < startCount_ && starts_[i] < low; ++i) {
    list.Add(starts_[i]);
  }
  // Matches that touch the new bytes, or run across the place where the text closed up, are
  // new; those that touched the removed bytes or ran across the edit place are gone.
  FindInWindow(list, std::max<Pos>(low, 1), std::min(at + inserted - 1, newLength - Size() + 1),
               *window);
  // Starts behind the removed bytes only move.
  for (std::size_t i = 0; i < startCount_; ++i) {
    if (starts_[i] >= end) {
      list.Add(starts_[i] + delta);
    }
  }
  AdoptStarts(list, knownBelow);
}

}  // namespace varnow
