// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <vector>

#include "document/Document.h"

namespace varnow {

// Running totals over the sizes of the text's blocks, so that the block holding a position is
// found, and a block's size changed, in logarithmic time (a Fenwick tree). Blocks may be empty.
class BlockIndex {
 public:
  struct Spot {
    std::size_t block;  // index of the block
    Pos start;          // position of the block's first byte
  };

  void Reset(const std::vector<Pos>& sizes);
  void PushBack(Pos size);
  void PopBack();
  void Add(std::size_t block, Pos delta);

  std::size_t Count() const { return tree_.size() - 1; }
  // Total size of the blocks before `block`.
  Pos Before(std::size_t block) const;
  // The block holding position `pos`, 1 <= pos <= total size.
  Spot Locate(Pos pos) const;

 private:
  std::vector<Pos> tree_ = std::vector<Pos>(1, 0);  // 1-based; tree_[0] is unused
};

}  // namespace varnow
