// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>

namespace varnow {

// The 64-bit FNV-1a hash of `bytes`. Chosen where a hash is stored or shared between machines
// (shards of a run, the settings a page was cleaned with): it is fixed by its definition, the
// same on every system and compiler, which std::hash is not.
class Fnv1a64 {
 public:
  static constexpr std::uint64_t kOffsetBasis = 0xcbf29ce484222325ULL;
  static constexpr std::uint64_t kPrime = 0x100000001b3ULL;

  constexpr Fnv1a64& Add(std::string_view bytes) {
    for (const char c : bytes) {
      hash_ = (hash_ ^ static_cast<unsigned char>(c)) * kPrime;
    }
    return *this;
  }
  // A field whose end must not run into the next one's start: its length first.
  constexpr Fnv1a64& AddField(std::string_view bytes) {
    AddNumber(bytes.size());
    return Add(bytes);
  }
  constexpr Fnv1a64& AddNumber(std::uint64_t n) {
    for (int i = 0; i < 8; ++i) {
      hash_ = (hash_ ^ ((n >> (8 * i)) & 0xFFU)) * kPrime;
    }
    return *this;
  }
  constexpr std::uint64_t Value() const { return hash_; }

 private:
  std::uint64_t hash_ = kOffsetBasis;
};

constexpr std::uint64_t Fnv1a64Of(std::string_view bytes) {
  return Fnv1a64().Add(bytes).Value();
}

}  // namespace varnow
