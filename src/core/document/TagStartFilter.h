// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "document/AsciiFold.h"
#include "document/vector/VectorLevel.h"

namespace varnow {

// Which pairs of bytes follow a '<' somewhere in one block of the text, letters folded to one
// case, as bits of a small hash set. Nearly every pattern the procedures look for begins with
// '<', and most blocks of a page lack most of them: a search passes over a block whose filter
// lacks the pattern's second and third bytes without reading it. The set may hold more than
// the block does (edits only ever add to it), never less.
class TagStartFilter {
 public:
  static constexpr char kLead = '<';

  void Clear() { bits_ = {}; }
  // `a` and `b` as they stand in the text, after a '<'.
  void Add(char a, char b) {
    const unsigned bit = Bit(a, b);
    bits_[bit / 64] |= std::uint64_t{1} << (bit % 64);
  }
  bool MayHold(unsigned bit) const { return (bits_[bit / 64] >> (bit % 64) & 1) != 0; }

  // Adds every '<' among bytes[0, count) that two more bytes follow; `after` holds the bytes
  // that come next in the text (up to two, fewer at its end). `vectors` picks the scan.
  void AddAll(const char* bytes, std::size_t count, std::string_view after, VectorLevel vectors);

  // The bit for a '<' followed by `a` and `b`, each byte folded as matching folds it.
  static unsigned Bit(char a, char b) {
    const std::uint32_t key = std::uint32_t{FoldByte(a)} << 8 | FoldByte(b);
    return (key * 0x9E3779B1u) >> (32 - kBitsLog2);
  }

 private:
  static constexpr unsigned kBitsLog2 = 9;
  std::array<std::uint64_t, (1u << kBitsLog2) / 64> bits_{};
};

}  // namespace varnow
