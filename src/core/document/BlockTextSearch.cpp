// SPDX-License-Identifier: MIT
// Searching the blocks: whole matches of a pattern (using each block's tag filter to pass
// over blocks that cannot hold a tag), single bytes, and reading bytes out.
#include <algorithm>
#include <cstring>

#include "document/BlockText.h"

namespace varnow {

bool BlockText::MatchesAcross(const PatternMatcher& pattern, std::size_t at,
                              std::size_t offset) const {
  std::size_t matched = 0;
  for (; at < blocks_.size(); ++at, offset = 0) {
    const Block& block = blocks_[at];
    for (std::size_t i = offset; i < block.Size(); ++i) {
      if (!pattern.ByteMatches(matched, block.Data()[i])) {
        return false;
      }
      if (++matched == pattern.Size()) {
        return true;
      }
    }
  }
  return false;
}

Pos BlockText::Find(const PatternMatcher& pattern, Pos from, Pos last) const {
  const Pos size = ToPos(pattern.Size());
  from = std::max<Pos>(from, 1);
  last = std::min(last, length_ - size + 1);
  if (!pattern.CanMatch() || from > last) {
    return 0;
  }
  // A match of a pattern that begins with '<' starts in a block whose filter has its tag.
  const bool tag = size >= 3 && pattern.Folded(0) == TagStartFilter::kLead;
  const unsigned tagBit = tag ? TagStartFilter::Bit(pattern.Folded(1), pattern.Folded(2)) : 0;
  const BlockIndex::Spot spot = Locate(from);
  Pos start = spot.start;
  for (std::size_t at = spot.block; at < blocks_.size() && start <= last; ++at) {
    const Block& block = blocks_[at];
    const Pos blockSize = ToPos(block.Size());
    if (tag && !block.tags.MayHold(tagBit)) {
      start += blockSize;
      continue;
    }
    const Pos first = std::max<Pos>(from - start, 0);              // first start offset here
    const Pos final = std::min<Pos>(last - start, blockSize - 1);  // last start offset here
    if (first <= final) {
      // Starts whose match lies inside this block.
      const Pos inner = std::min(final, blockSize - size);
      if (inner >= first) {
        const std::size_t hit = pattern.FindIn(block.Data() + first, ToSize(inner - first + size));
        if (hit != PatternMatcher::npos) {
          return start + first + ToPos(hit);
        }
      }
      // Starts whose match runs on into the blocks after it.
      for (Pos offset = std::max(first, inner + 1); offset <= final; ++offset) {
        if (pattern.ByteMatches(0, block.Data()[offset]) &&
            MatchesAcross(pattern, at, ToSize(offset))) {
          return start + offset;
        }
      }
    }
    start += blockSize;
  }
  return 0;
}

Pos BlockText::FindByte(char byte, Pos from, Pos to) const {
  from = std::max<Pos>(from, 1);
  to = std::min(to, length_);
  if (from > to) {
    return 0;
  }
  const BlockIndex::Spot spot = Locate(from);
  Pos start = spot.start;
  for (std::size_t at = spot.block; at < blocks_.size() && start <= to; ++at) {
    const Block& block = blocks_[at];
    const Pos first = std::max<Pos>(from - start, 0);
    const Pos end = std::min<Pos>(to - start + 1, ToPos(block.Size()));
    if (first < end) {
      const void* hit = std::memchr(block.Data() + first, byte, ToSize(end - first));
      if (hit != nullptr) {
        return start +
               ToPos(static_cast<std::size_t>(static_cast<const char*>(hit) - block.Data()));
      }
    }
    start += ToPos(block.Size());
  }
  return 0;
}

std::string_view BlockText::Window(Pos from, Pos count, std::string& spare) const {
  if (count > 0) {
    const BlockIndex::Spot spot = Locate(from);
    const Block& block = blocks_[spot.block];
    const auto offset = ToSize(from - spot.start);
    if (offset + ToSize(count) <= block.Size()) {
      return {block.Data() + offset, ToSize(count)};
    }
  }
  CopyOut(from, count, spare);
  return spare;
}

void BlockText::CopyOut(Pos from, Pos count, std::string& out) const {
  out.clear();
  if (count <= 0) {
    return;
  }
  const BlockIndex::Spot spot = Locate(from);
  std::size_t offset = ToSize(from - spot.start);
  std::size_t left = ToSize(count);
  for (std::size_t at = spot.block; left > 0 && at < blocks_.size(); ++at, offset = 0) {
    const Block& block = blocks_[at];
    const std::size_t take = std::min(left, block.Size() - std::min(offset, block.Size()));
    out.append(block.Data() + offset, take);
    left -= take;
  }
}

}  // namespace varnow
