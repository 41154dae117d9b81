// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "document/AsciiFold.h"

namespace varnow {

// The byte pairs an edit of the FastDocument can create, as bits of the same filter the tracked
// patterns keep: the pair across each edge of the edited place and, for an insertion, those
// inside the new bytes. Every new occurrence of a pattern holds one of them (an occurrence of
// one byte lies in the new bytes), so a pattern sharing none of its pairs with them is passed
// over without reading the text around the edit.
class EditSeams {
 public:
  void AddPair(char a, char b) {
    const unsigned bit = PairBit(a, b);
    bits_[bit / 64] |= std::uint64_t{1} << (bit % 64);
  }
  void SetInserted(std::string_view inserted) {
    inserted_ = inserted;
    for (std::size_t i = 1; i < inserted.size(); ++i) {
      AddPair(inserted[i - 1], inserted[i]);
    }
  }
  std::string_view Inserted() const { return inserted_; }
  const std::array<std::uint64_t, 4>& Bits() const { return bits_; }

  // The filter bit of a byte pair, both bytes folded as matching folds them.
  static unsigned PairBit(char a, char b) { return (FoldByte(a) * 31u + FoldByte(b)) & 255u; }

 private:
  std::array<std::uint64_t, 4> bits_{};
  std::string_view inserted_;
};

}  // namespace varnow
