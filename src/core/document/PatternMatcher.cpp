// SPDX-License-Identifier: MIT
#include "document/PatternMatcher.h"

#include <array>

namespace varnow {
namespace {

// How often a byte turns up in ordinary pages, roughly per thousand bytes, letters counted in
// both cases. Only the order matters: the filter checks the rarest bytes of a pattern first.
constexpr std::array<unsigned char, 256> ByteCommonness() {
  std::array<unsigned char, 256> table{};
  for (auto& c : table) {
    c = 4;  // punctuation and control bytes
  }
  for (int b = 0x80; b < 0x100; ++b) {
    table[static_cast<std::size_t>(b)] = 25;  // cp1251 text
  }
  for (char d = '0'; d <= '9'; ++d) {
    table[static_cast<std::size_t>(d)] = 8;
  }
  constexpr std::string_view kLetters = "ETAOINSRHLDCUMFPGWYBVKXJQZ";
  constexpr std::array<unsigned char, 26> kLetterCommonness = {60, 50, 45, 45, 42, 40, 38, 36, 30,
                                                               25, 22, 22, 15, 15, 13, 12, 11, 10,
                                                               9,  9,  6,  4,  3,  2,  1,  1};
  for (std::size_t i = 0; i < kLetters.size(); ++i) {
    table[static_cast<unsigned char>(kLetters[i])] = kLetterCommonness[i];
    table[static_cast<unsigned char>(kLetters[i] | 0x20)] = kLetterCommonness[i];
  }
  table[' '] = 120;
  table['<'] = 30;
  table['>'] = 30;
  table['='] = 15;
  table['"'] = 12;
  table['\''] = 8;
  table['/'] = 12;
  table['\n'] = 15;
  table['\r'] = 12;
  table[0] = 0;
  return table;
}

constexpr std::array<unsigned char, 256> kCommonness = ByteCommonness();

}  // namespace

PatternMatcher::PatternMatcher(std::string_view pattern, VectorLevel vectors)
    : folded_(pattern),
      masks_(pattern.size(), '\0'),
      canMatch_(!pattern.empty()),
      vectors_(vectors) {
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c >= 'a' && c <= 'z') {
      canMatch_ = false;
    } else if (c >= 'A' && c <= 'Z') {
      masks_[i] = 0x20;
      folded_[i] = static_cast<char>(c | 0x20);
    }
  }
  auto commonness = [&](std::size_t i) {
    return kCommonness[static_cast<unsigned char>(pattern[i])];
  };
  for (std::size_t i = 1; i < pattern.size(); ++i) {
    if (commonness(i) < commonness(rarer_)) {
      rare_ = rarer_;
      rarer_ = i;
    } else if (rare_ == rarer_ || commonness(i) < commonness(rare_)) {
      rare_ = i;
    }
  }
}

std::size_t PatternMatcher::FindIn(const char* bytes, std::size_t count) const {
  const std::size_t size = folded_.size();
  if (!canMatch_ || count < size) {
    return npos;
  }
  const std::size_t lastStart = count - size;
  switch (vectors_) {
    case VectorLevel::kAvx2:
#if defined(VARNOW_HAVE_AVX2_SCANS)
      if (lastStart >= 31) {
        return FindPatternAvx2(ForScan(), bytes, lastStart);
      }
#endif
      [[fallthrough]];
    case VectorLevel::kSse2:
      return FindPatternSse2(ForScan(), bytes, lastStart);
    case VectorLevel::kScalar:
      break;
  }
  return FindPatternScalar(ForScan(), bytes, lastStart);
}

}  // namespace varnow
