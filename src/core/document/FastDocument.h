// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/BlockText.h"
#include "document/Document.h"
#include "document/TrackedPattern.h"

namespace varnow {

// The program's document: the same results as searching a fresh upper-cased copy of the whole
// text after every change, at a cost that grows with the text once, not once per change.
// - The text lies in small blocks, so an edit moves few bytes (BlockText).
// - Matching folds letter case on the fly, so there is no upper-cased copy at all.
// - The patterns in use are remembered with what is known about where they occur, and each
//   edit only looks at the bytes around itself, and only when they could form the pattern
//   (TrackedPattern); a search goes on from where the last one stopped.
// - The first NUL byte is tracked the same way (or known to be absent), and a search for '>'
//   that found none is remembered, so loop tests and tag ends that find nothing do not sweep
//   the text again.
// - A deletion waits for the next operation: when that inserts at the same place, as a tag
//   replaced by its bare form does, the two are made as one replacement.
//
// Invariants (they hold between any two public calls):
// - Deferred erase. Delete only records the deletion in pendingErase_; Length() already counts
//   it. The next operation settles it first (SettleErase: the bytes go, the patterns are told),
//   except an Insert at the same place, which makes both as one BlockText::Replace. So every
//   read of the text (View, FindPattern, PatternRemains, FindTagEnd) and every other edit
//   begins by settling; text_ and the patterns describe the text without the pending erase
//   until then, and nothing else may look at them in between.
// - Tracked patterns. For each pattern in slots_, every occurrence starting before its
//   knownBelow lies among its listed starts (TrackedPattern); each edit keeps this true through
//   AfterEdit, which also forgets the patterns not asked for during kIdleTicks edits. widest_
//   is the size of the longest pattern tracked (the edit window is that wide).
// - NUL. nul_ tracks the first NUL byte like any pattern; when noNul_ is set the text holds no
//   NUL at all and nul_ is not kept up to date: a deletion cannot make a NUL, and an insertion
//   holding one clears noNul_ and starts nul_ afresh.
// - Tag ends. No '>' stands at noTagEndFrom_ or after it (a bound, possibly beyond the end);
//   deletions pull it back with the bytes behind them, insertions push it on or, holding a
//   '>', bring it to just behind their last one.
// - Tag filters. Each block's TagStartFilter may hold more tag starts than the block has,
//   never fewer: BlockText adds the starts of every byte it writes and those an edit joins
//   across its edges, and clears a filter only when its block is emptied or packed anew.
class FastDocument final : public Document {
 public:
  // `vectors`: how wide the vectors of its scans are; the processor's widest unless a test
  // asks for another.
  explicit FastDocument(std::size_t blockSize = BlockText::kDefaultBlockSize,
                        VectorLevel vectors = DetectVectorLevel());

  void Assign(std::string bytes) override;
  void Append(std::string_view bytes) override;
  void Clear() override;

  Pos Length() const override { return text_.Length() - pendingErase_.count; }
  std::string_view View() override {
    SettleErase();
    return text_.Flatten();
  }
  std::vector<std::string_view> Chunks() override {
    SettleErase();
    return text_.Chunks();
  }
  std::string TakeText() override {
    SettleErase();
    std::string text = text_.TakeFlat();
    ForgetAll();
    return text;
  }

  Pos FindPattern(std::string_view pattern) override;
  bool PatternRemains(std::string_view pattern) override;
  Pos FindTagEnd(Pos start) override;

  void Delete(Pos index, Pos count) override;
  void Insert(std::string_view text, Pos index) override;

 private:
  // The procedures use at most four patterns at a time; a few more keep a procedure's
  // patterns while the next one starts.
  static constexpr std::size_t kTrackedPatterns = 6;
  // A pattern not asked for during this many edits (or new patterns) belongs to a procedure
  // that has finished; it is forgotten so that edits stop paying for it.
  static constexpr std::uint64_t kIdleTicks = 16;
  // A pattern of up to this many bytes is told apart from others by its key alone.
  static constexpr std::size_t kKeyBytes = 8;

  struct Slot {
    std::unique_ptr<TrackedPattern> pattern;
    std::uint64_t key = 0;      // some of its bytes, to pass over other patterns quickly
    std::size_t size = 0;       // its size, read without a detour
    std::uint64_t lastUse = 0;  // the clock when it was last asked for

    bool Holds(std::uint64_t otherKey, std::string_view other) const {
      return pattern && size == other.size() && key == otherKey &&
             (size <= kKeyBytes || pattern->Pattern() == other);
    }
  };

  TrackedPattern& Track(std::string_view pattern);
  Pos FirstNul();
  void ForgetAll();
  // Brings every tracked pattern up to date after an edit that replaced `removed` bytes at `at`
  // by `inserted`. The window of new text around the edit is read only if some pattern could
  // match across it, once, as wide as the longest pattern tracked.
  void AfterEdit(Pos at, Pos removed, std::string_view inserted);
  // Sets widest_ after the tracked patterns changed.
  void MeasureWidest();
  // Makes the deletion not yet made, and tells the patterns of it.
  void SettleErase();

  const VectorLevel vectors_;  // learned once, for every scan of this document
  BlockText text_;
  std::vector<Slot> slots_;
  std::size_t lastSlot_ = 0;
  TrackedPattern nul_;
  // The text holds no NUL at all, as most do: nul_ is then not kept up to date, since no
  // deletion can make a NUL and an insertion that holds none keeps it so.
  bool noNul_ = false;
  Pos noTagEndFrom_ = 1;     // no '>' at this position or after it
  std::uint64_t clock_ = 0;  // counts edits and new patterns
  Pos widest_ = 1;           // the size of the longest pattern tracked
  std::string window_;       // the edit window, where it crosses blocks
  // A deletion asked for but not yet made: count 0 if none.
  struct PendingErase {
    Pos at = 0;
    Pos count = 0;
  } pendingErase_;
};

}  // namespace varnow
