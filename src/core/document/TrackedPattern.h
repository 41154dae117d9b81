#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "document/BlockText.h"
#include "document/Document.h"
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
  explicit TrackedPattern(std::string_view pattern) : pattern_(pattern), matcher_(pattern) {}

  std::string_view Pattern() const { return pattern_; }
  Pos Size() const { return static_cast<Pos>(pattern_.size()); }
  Pos KnownBelow() const { return knownBelow_; }

  // The first occurrence that starts before `limit` (at most text.Length() + 1), or 0.
  Pos First(const BlockText& text, Pos limit);

  // Whether an edit at `at` touches what is known, and so needs the window around it.
  bool Touches(Pos at) const { return knownBelow_ > at - Size() + 1; }
  // Called after `count` bytes at `at` were removed. The window holds the new text from
  // at - Size() + 1 (or 1) to at + Size() - 2 (or its end).
  void AfterErase(Pos at, Pos count, Pos newLength, const EditWindow& window);
  // Called after `count` bytes were inserted at `at`. The window holds the new text from
  // at - Size() + 1 (or 1) to at + count + Size() - 2 (or its end).
  void AfterInsert(Pos at, Pos count, Pos newLength, const EditWindow& window);

 private:
  // Few are ever needed: the first occurrence, and any an edit made just before it.
  static constexpr std::size_t kMaxStarts = 4;

  class StartList;
  void FindInWindow(StartList& list, Pos from, Pos to, const EditWindow& window) const;
  void Replace(const StartList& list, Pos knownBelow);

  std::string pattern_;
  PatternMatcher matcher_;
  Pos knownBelow_ = 1;
  std::array<Pos, kMaxStarts> starts_{};
  std::size_t startCount_ = 0;
};

}  // namespace varnow
