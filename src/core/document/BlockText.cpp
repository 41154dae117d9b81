// SPDX-License-Identifier: MIT
#include "document/BlockText.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

namespace varnow {

BlockText::BlockText(std::size_t blockSize, VectorLevel vectors)
    : blockSize_(std::max<std::size_t>(blockSize, 4)),
      vectors_(vectors),
      lead_(blockSize_ / 32),
      fill_(blockSize_ - 2 * lead_) {}

BlockText::Block BlockText::NewBlock() const {
  Block block;
  // Not cleared: only bytes[begin, end) are ever read.
  block.bytes = std::make_unique_for_overwrite<char[]>(blockSize_);
  block.begin = lead_;
  block.end = lead_;
  return block;
}

void BlockText::AppendBlocks(std::vector<Block>& out, std::string_view text) const {
  while (!text.empty()) {
    Block block = NewBlock();
    const std::size_t take = std::min(fill_, text.size());
    std::memcpy(block.Data(), text.data(), take);
    block.end += take;
    out.push_back(std::move(block));
    text.remove_prefix(take);
  }
}

void BlockText::ReindexAll() {
  cursorValid_ = false;
  std::vector<Pos> sizes;
  sizes.reserve(blocks_.size());
  for (const Block& block : blocks_) {
    sizes.push_back(ToPos(block.Size()));
  }
  index_.Reset(sizes);
}

void BlockText::Rebuild(std::vector<Block> blocks) {
  blocks_ = std::move(blocks);
  ReindexAll();
}

void BlockText::Assign(std::string bytes) {
  length_ = ToPos(bytes.size());
  blocks_.clear();
  AppendBlocks(blocks_, bytes);
  ReindexAll();
  NoteTagStarts(1, length_);
  flat_ = std::move(bytes);
  flatValid_ = true;
}

void BlockText::Clear() {
  blocks_.clear();
  length_ = 0;
  ReindexAll();
  flat_ = std::string();
  flatValid_ = true;
}

void BlockText::NoteTagStart(Pos pos) {
  if (pos + 2 <= length_) {
    const char a = ByteAt(pos + 1);
    const char b = ByteAt(pos + 2);
    blocks_[Locate(pos).block].tags.Add(a, b);
  }
}

void BlockText::NoteTagStarts(Pos from, Pos to) {
  from = std::max<Pos>(from, 1);
  to = std::min(to, length_ - 2);  // a tag start needs two bytes after the '<'
  if (from > to) {
    return;
  }
  if (to - from < 16) {
    // The few bytes around an edit: most hold no '<' at all.
    for (Pos pos = from; pos <= to; ++pos) {
      if (ByteAt(pos) == TagStartFilter::kLead) {
        NoteTagStart(pos);
      }
    }
    return;
  }
  const BlockIndex::Spot spot = Locate(from);
  Pos start = spot.start;
  for (std::size_t at = spot.block; at < blocks_.size() && start <= to; ++at) {
    Block& block = blocks_[at];
    const Pos size = ToPos(block.Size());
    const Pos first = std::max<Pos>(from - start, 0);
    const Pos end = std::min<Pos>(to - start + 1, size);  // one past the last offset
    if (first < end) {
      // The bytes after the range may lie in the blocks after this one.
      std::array<char, 2> after{};
      std::size_t afterCount = 0;
      for (Pos pos = start + end; afterCount < 2 && pos <= length_; ++pos) {
        after[afterCount++] = pos - start < size ? block.Data()[pos - start] : ByteAt(pos);
      }
      block.tags.AddAll(block.Data() + first, ToSize(end - first), {after.data(), afterCount},
                        vectors_);
    }
    start += size;
  }
}

void BlockText::Insert(Pos index, std::string_view text) {
  if (text.empty()) {
    return;
  }
  Changed();
  const Pos at = std::min(index, length_ + 1);
  InsertBytes(index, text);
  NoteEdit(at, text);
}

void BlockText::NoteEdit(Pos at, std::string_view text) {
  const std::size_t count = text.size();
  if (count > 16) {
    NoteTagStarts(at - 2, at + ToPos(count) - 1);
    return;
  }
  NoteTagStarts(at - 2, at - 1);
  for (std::size_t i = 0; i < count; ++i) {
    if (text[i] == TagStartFilter::kLead) {
      NoteTagStart(at + ToPos(i));
    }
  }
}

void BlockText::InsertBytes(Pos index, std::string_view text) {
  const std::size_t count = text.size();
  if (blocks_.empty()) {
    AppendBlocks(blocks_, text);
    ReindexAll();
    length_ += ToPos(count);
    return;
  }
  auto room = [this](const Block& block) { return blockSize_ - block.Size(); };
  std::size_t at = 0;
  std::size_t offset = 0;
  if (index > length_) {
    at = blocks_.size() - 1;
    offset = blocks_[at].Size();
  } else {
    const BlockIndex::Spot spot = Locate(index);
    at = spot.block;
    offset = ToSize(index - spot.start);
    // Before a block's first byte, the end of the block before it is the same place.
    if (offset == 0 && at > 0 && room(blocks_[at]) < count && room(blocks_[at - 1]) >= count) {
      --at;
      offset = blocks_[at].Size();
    }
  }
  if (!SpliceInBlock(blocks_[at], offset, 0, text)) {
    InsertSplitting(at, offset, text);
    return;
  }
  NoteSizeChange(at, ToPos(count));
  length_ += ToPos(count);
}

void BlockText::InsertSplitting(std::size_t at, std::size_t offset, std::string_view text) {
  const Block& block = blocks_[at];
  const Pos first = index_.Before(at) + 1;  // where the new blocks begin
  std::string joined;
  joined.reserve(block.Size() + text.size());
  joined.append(block.Data(), offset);
  joined.append(text);
  joined.append(block.Data() + offset, block.Size() - offset);
  std::vector<Block> pieces;
  AppendBlocks(pieces, joined);
  cursorValid_ = false;
  if (at + 1 == blocks_.size()) {
    // Growing at the end (a file loaded piece by piece) keeps the index without a rebuild.
    blocks_.pop_back();
    index_.PopBack();
    for (Block& piece : pieces) {
      index_.PushBack(ToPos(piece.Size()));
      blocks_.push_back(std::move(piece));
    }
  } else {
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(at));
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(at),
                   std::make_move_iterator(pieces.begin()), std::make_move_iterator(pieces.end()));
    ReindexAll();
  }
  length_ += ToPos(text.size());
  NoteTagStarts(first, first + ToPos(joined.size()) - 1);
}

void BlockText::Erase(Pos index, Pos count) {
  Changed();
  const BlockIndex::Spot spot = Locate(index);
  std::size_t at = spot.block;
  std::size_t offset = ToSize(index - spot.start);
  std::size_t left = ToSize(count);
  while (left > 0) {
    Block& block = blocks_[at];
    const std::size_t size = block.Size();
    const std::size_t take = std::min(left, size - offset);
    if (take > 0) {
      SpliceInBlock(block, offset, take, {});
      if (block.begin == block.end) {
        block.begin = lead_;
        block.end = lead_;
        block.tags.Clear();
      }
      NoteSizeChange(at, -ToPos(take));
      left -= take;
    }
    ++at;
    offset = 0;
  }
  length_ -= count;
  NoteEdit(index, {});
  RebalanceIfThin();
}

void BlockText::RebalanceIfThin() {
  // Deletions leave blocks thin or empty; once they are mostly air, pack them again. Packing
  // costs one copy of the text, and the text must shrink a lot before the next one.
  if (blocks_.size() > 16 && blocks_.size() > 4 * (ToSize(length_) / fill_ + 1)) {
    Rebalance();
  }
}

void BlockText::Replace(Pos index, Pos removed, std::string_view text) {
  if (!ReplaceInBlock(index, removed, text)) {
    Erase(index, removed);
    Insert(index, text);
  }
}

bool BlockText::ReplaceInBlock(Pos index, Pos removed, std::string_view text) {
  const BlockIndex::Spot spot = Locate(index);
  Block& block = blocks_[spot.block];
  const std::size_t size = block.Size();
  const std::size_t offset = ToSize(index - spot.start);
  const std::size_t gone = ToSize(removed);
  const std::size_t count = text.size();
  if (offset + gone > size || text.empty()) {
    return false;  // the removed bytes run on into the next block
  }
  if (!SpliceInBlock(block, offset, gone, text)) {
    return false;
  }
  Changed();
  const Pos delta = ToPos(count) - removed;
  NoteSizeChange(spot.block, delta);
  length_ += delta;
  NoteEdit(index, text);
  RebalanceIfThin();
  return true;
}

bool BlockText::SpliceInBlock(Block& block, std::size_t offset, std::size_t gone,
                              std::string_view text) const {
  const std::size_t size = block.Size();
  const std::size_t count = text.size();
  const std::size_t head = offset;                // bytes before the change
  const std::size_t tail = size - offset - gone;  // bytes behind it
  // The shorter side moves, where there is room for it to move to.
  bool moveHead = head < tail;
  if (count > gone) {
    const std::size_t grow = count - gone;
    const std::size_t front = block.begin;
    const std::size_t back = blockSize_ - block.end;
    if (front + back < grow) {
      return false;
    }
    if (front < grow && back < grow) {
      // The room is there only at both ends together: gather it behind the text.
      std::memmove(block.bytes.get(), block.Data(), size);
      block.begin = 0;
      block.end = size;
      moveHead = false;
    } else {
      moveHead = moveHead ? front >= grow : back < grow;
    }
    if (moveHead) {
      std::memmove(block.Data() - grow, block.Data(), head);
      block.begin -= grow;
    } else {
      std::memmove(block.Data() + offset + count, block.Data() + offset + gone, tail);
      block.end += grow;
    }
  } else if (count < gone) {
    const std::size_t shrink = gone - count;
    if (moveHead) {
      std::memmove(block.Data() + shrink, block.Data(), head);
      block.begin += shrink;
    } else {
      std::memmove(block.Data() + offset + count, block.Data() + offset + gone, tail);
      block.end -= shrink;
    }
  }
  if (count > 0) {
    std::memcpy(block.Data() + offset, text.data(), count);
  }
  return true;
}

void BlockText::Rebalance() {
  std::vector<Block> packed;
  Block current = NewBlock();
  for (Block& block : blocks_) {
    const char* from = block.Data();
    std::size_t left = block.Size();
    while (left > 0) {
      if (current.Size() == fill_) {
        packed.push_back(std::move(current));
        current = NewBlock();
      }
      const std::size_t take = std::min(fill_ - current.Size(), left);
      std::memcpy(current.bytes.get() + current.end, from, take);
      current.end += take;
      from += take;
      left -= take;
    }
    block.bytes.reset();  // let go of each old block as soon as it is copied
  }
  if (current.Size() > 0) {
    packed.push_back(std::move(current));
  }
  Rebuild(std::move(packed));
  NoteTagStarts(1, length_);
}

std::vector<std::string_view> BlockText::Chunks() const {
  std::vector<std::string_view> pieces;
  pieces.reserve(blocks_.size());
  for (const Block& block : blocks_) {
    if (block.Size() > 0) {
      pieces.emplace_back(block.Data(), block.Size());
    }
  }
  return pieces;
}

std::string BlockText::TakeFlat() {
  Flatten();
  std::string text = std::move(flat_);
  Clear();
  return text;
}

std::string_view BlockText::Flatten() {
  if (!flatValid_) {
    flat_.resize(ToSize(length_));
    char* out = flat_.data();
    for (const Block& block : blocks_) {
      std::memcpy(out, block.Data(), block.Size());
      out += block.Size();
    }
    flatValid_ = true;
  }
  return flat_;
}

}  // namespace varnow
