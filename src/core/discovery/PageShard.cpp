// SPDX-License-Identifier: MIT
#include "discovery/PageShard.h"

#include <charconv>
#include <string>

#include "platform/PathSyntax.h"
#include "text/Fnv1a.h"

namespace varnow {
namespace {

std::optional<std::uint64_t> Decimal(std::string_view text) {
  std::uint64_t n = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return n;
}

}  // namespace

std::optional<PageShard> ParseShard(std::string_view text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos) {
    return std::nullopt;
  }
  const std::optional<std::uint64_t> index = Decimal(text.substr(0, slash));
  const std::optional<std::uint64_t> count = Decimal(text.substr(slash + 1));
  if (!index || !count || *count == 0 || *index >= *count) {
    return std::nullopt;
  }
  return PageShard{*index, *count};
}

bool InShard(std::string_view relative, const PageShard& shard) {
  if (PathSeparator() == '/') {
    return Fnv1a64Of(relative) % shard.count == shard.index;
  }
  // The same bytes a POSIX system hashes.
  std::string portable(relative);
  for (char& c : portable) {
    if (IsPathSeparator(c)) {
      c = '/';
    }
  }
  return Fnv1a64Of(portable) % shard.count == shard.index;
}

}  // namespace varnow
