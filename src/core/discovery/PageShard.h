// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace varnow {

// One of N shards of a run's pages, so that N processes (on one machine or many) clean a tree
// between them without talking to each other: a page belongs to shard K when the FNV-1a 64 hash
// of its path relative to the searched folder, with "/" between its folders on every system,
// is K modulo N. Every machine agrees, wherever it mounts the tree.
struct PageShard {
  std::uint64_t index = 0;  // K, from 0
  std::uint64_t count = 1;  // N
  bool operator==(const PageShard&) const = default;
};

// "K/N" with 0 <= K < N, both decimal; nothing for anything else.
std::optional<PageShard> ParseShard(std::string_view text);

// Whether the page at `relative` (below the searched folder, with the system's separators)
// belongs to `shard`.
bool InShard(std::string_view relative, const PageShard& shard);

}  // namespace varnow
