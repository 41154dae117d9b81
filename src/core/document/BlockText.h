// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/BlockIndex.h"
#include "document/Document.h"
#include "document/PatternMatcher.h"
#include "document/TagStartFilter.h"

namespace varnow {

// The bytes of a document as a row of small blocks, so that an edit moves at most one block's
// bytes instead of the whole tail of the text. A block keeps free room at both ends and an
// edit shifts whichever side of it is shorter. Each block keeps a filter of the tags that may
// start in it, so that a search for a tag passes over the blocks that cannot hold one.
// The text also has a flat copy for viewing: the assigned bytes themselves until the first
// edit, after that rewritten on demand into the same storage (a large text then never waits
// for fresh memory to be mapped at the end of each run).
class BlockText {
 public:
  static constexpr std::size_t kDefaultBlockSize = 4096;

  // `blockSize` is the capacity of a block (small ones let tests cross block edges often);
  // `vectors` is how wide the vectors of its scans are.
  explicit BlockText(std::size_t blockSize = kDefaultBlockSize,
                     VectorLevel vectors = DetectVectorLevel());

  Pos Length() const { return length_; }

  void Assign(std::string bytes);
  void Clear();
  // 1 <= index <= Length() + 1.
  void Insert(Pos index, std::string_view text);
  // 1 <= index, 1 <= count, index + count - 1 <= Length().
  void Erase(Pos index, Pos count);
  // Erase(index, removed), then Insert(index, text), moving the bytes around once where one
  // block can take the change.
  void Replace(Pos index, Pos removed, std::string_view text);

  // The whole text in one piece, valid until the next change.
  std::string_view Flatten();
  // The same, handed over: the text is left empty.
  std::string TakeFlat();
  // The text as its blocks hold it, in order, valid until the next change.
  std::vector<std::string_view> Chunks() const;

  // The first start in [from, last] of a whole match of `pattern`, or 0.
  Pos Find(const PatternMatcher& pattern, Pos from, Pos last) const;
  // The first position in [from, to] that holds `byte`, or 0.
  Pos FindByte(char byte, Pos from, Pos to) const;
  // Replaces `out` with the `count` bytes from position `from` on (all inside the text).
  void CopyOut(Pos from, Pos count, std::string& out) const;
  // The same bytes, seen where they lie when one block holds them all, else copied to `spare`.
  std::string_view Window(Pos from, Pos count, std::string& spare) const;
  // The byte at `pos`, 1 <= pos <= Length().
  char ByteAt(Pos pos) const {
    const BlockIndex::Spot spot = Locate(pos);
    return blocks_[spot.block].Data()[pos - spot.start];
  }

 private:
  struct Block {
    std::unique_ptr<char[]> bytes;  // blockSize_ bytes of storage; the text is bytes[begin, end)
    std::size_t begin = 0;
    std::size_t end = 0;
    TagStartFilter tags;  // every '<' in the block, with the two bytes after it

    std::size_t Size() const { return end - begin; }
    const char* Data() const { return bytes.get() + begin; }
    char* Data() { return bytes.get() + begin; }
  };

  // The block holding `pos`. Searches and edits come in runs at nearly the same place, so the
  // last block found is tried first.
  BlockIndex::Spot Locate(Pos pos) const {
    if (cursorValid_ && pos >= cursor_.start &&
        pos < cursor_.start + static_cast<Pos>(blocks_[cursor_.block].Size())) {
      return cursor_;
    }
    cursor_ = index_.Locate(pos);
    cursorValid_ = true;
    return cursor_;
  }
  // Tells the index (and the cached block position) that `block` grew or shrank by `delta`.
  void NoteSizeChange(std::size_t block, Pos delta) {
    index_.Add(block, delta);
    if (cursorValid_ && cursor_.block > block) {
      cursor_.start += delta;
    }
  }
  Block NewBlock() const;
  // Appends `text` to `out` as fresh blocks filled to the usual level.
  void AppendBlocks(std::vector<Block>& out, std::string_view text) const;
  void Rebuild(std::vector<Block> blocks);
  // Brings the tag filters up to date for every '<' in [from, to] (clamped to the text), or
  // for the '<' at `pos`.
  void NoteTagStarts(Pos from, Pos to);
  void NoteTagStart(Pos pos);
  void Changed() { flatValid_ = false; }
  void ReindexAll();
  void InsertBytes(Pos index, std::string_view text);
  // Every edit in place ends here: the tag starts it made, among the new bytes `text` at `at`
  // (none for a deletion) and where a '<' just before the edit is now followed by other bytes.
  // (A text assigned, split or packed anew notes all its starts itself.)
  void NoteEdit(Pos at, std::string_view text);
  // The one change to a block's bytes: `gone` bytes at `offset` of its text become `text`,
  // moving whichever side of the text around them is shorter where there is room for it.
  // False, with nothing done, when the block cannot hold the result.
  bool SpliceInBlock(Block& block, std::size_t offset, std::size_t gone,
                     std::string_view text) const;
  // Replace() inside one block; false, with nothing done, where the block cannot take it.
  bool ReplaceInBlock(Pos index, Pos removed, std::string_view text);
  // Packs the blocks again once deletions have left them mostly air.
  void RebalanceIfThin();
  void InsertSplitting(std::size_t block, std::size_t offset, std::string_view text);
  void Rebalance();
  bool MatchesAcross(const PatternMatcher& pattern, std::size_t block, std::size_t offset) const;

  std::size_t blockSize_;
  const VectorLevel vectors_;
  std::size_t lead_;  // free room a fresh block keeps before its text
  std::size_t fill_;  // bytes a fresh block holds
  std::vector<Block> blocks_;
  BlockIndex index_;
  mutable BlockIndex::Spot cursor_{0, 1};
  mutable bool cursorValid_ = false;
  Pos length_ = 0;
  std::string flat_;
  bool flatValid_ = true;  // flat_ holds the text
};

}  // namespace varnow
