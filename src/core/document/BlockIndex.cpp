// SPDX-License-Identifier: MIT
#include "document/BlockIndex.h"

#include <bit>

namespace varnow {
namespace {

std::size_t LowBit(std::size_t i) {
  return i & (~i + 1);
}

}  // namespace

void BlockIndex::Reset(const std::vector<Pos>& sizes) {
  tree_.assign(sizes.size() + 1, 0);
  for (std::size_t i = 1; i < tree_.size(); ++i) {
    tree_[i] += sizes[i - 1];
    const std::size_t parent = i + LowBit(i);
    if (parent < tree_.size()) {
      tree_[parent] += tree_[i];
    }
  }
}

void BlockIndex::PushBack(Pos size) {
  const std::size_t i = tree_.size();
  // The new node covers the blocks (i - LowBit(i), i]: this one and some before it.
  tree_.push_back(size + Before(i - 1) - Before(i - LowBit(i)));
}

void BlockIndex::PopBack() {
  // The last node is no other node's part, so it simply goes.
  tree_.pop_back();
}

void BlockIndex::Add(std::size_t block, Pos delta) {
  for (std::size_t i = block + 1; i < tree_.size(); i += LowBit(i)) {
    tree_[i] += delta;
  }
}

Pos BlockIndex::Before(std::size_t block) const {
  Pos sum = 0;
  for (std::size_t i = block; i > 0; i -= LowBit(i)) {
    sum += tree_[i];
  }
  return sum;
}

BlockIndex::Spot BlockIndex::Locate(Pos pos) const {
  // The largest k whose first k blocks end before pos: block k then holds it.
  std::size_t k = 0;
  Pos rest = pos;
  for (std::size_t step = std::bit_floor(Count()); step > 0; step >>= 1) {
    if (k + step < tree_.size() && tree_[k + step] < rest) {
      k += step;
      rest -= tree_[k];
    }
  }
  return {k, pos - rest + 1};
}

}  // namespace varnow
