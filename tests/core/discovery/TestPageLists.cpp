// SPDX-License-Identifier: MIT
// Page lists other tools write, and shards of a run's pages.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "discovery/ListedPages.h"
#include "discovery/PageShard.h"
#include "support/TempDir.h"
#include "text/Fnv1a.h"

namespace varnow {
namespace {

TEST(PageLists, SplitLikeFindAndXargs) {
  const struct {
    std::string bytes;
    bool nul;
    std::vector<std::string> entries;
  } cases[] = {
      {"a.htm\nb c.htm\n", false, {"a.htm", "b c.htm"}},
      {"a.htm\r\nb.htm", false, {"a.htm", "b.htm"}},  // CR LF, no last line break
      {"\n\na.htm\n\n", false, {"a.htm"}},
      {std::string("a\nb.htm\0c\r.htm\0", 15), true, {"a\nb.htm", "c\r.htm"}},
      {std::string("\0\0", 2), true, {}},
      {"", false, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitPageList(c.bytes, c.nul), c.entries) << c.bytes;
  }
}

// The hash is FNV-1a 64 as published (the offset basis, the prime, and its test vectors), so
// that a shard means the same to every build on every machine.
TEST(PageShards, HashAsPublished) {
  const std::map<std::string, std::uint64_t> vectors = {
      {"", 0xcbf29ce484222325ULL},
      {"a", 0xaf63dc4c8601ec8cULL},
      {"foobar", 0x85944171f73967e8ULL},
  };
  for (const auto& [text, hash] : vectors) {
    EXPECT_EQ(Fnv1a64Of(text), hash) << text;
  }
}

TEST(PageShards, ParseAndPartition) {
  const std::map<std::string, std::optional<PageShard>> texts = {
      {"0/1", PageShard{0, 1}}, {"3/4", PageShard{3, 4}}, {"4/4", std::nullopt},
      {"0/0", std::nullopt},    {"1", std::nullopt},      {"-1/2", std::nullopt},
      {"1/2x", std::nullopt},   {"/2", std::nullopt},     {"01/2", PageShard{1, 2}},
  };
  for (const auto& [text, shard] : texts) {
    EXPECT_EQ(ParseShard(text), shard) << text;
  }
  // Every page in exactly one shard, and shards of about equal size.
  std::vector<int> sizes(4);
  for (int i = 0; i < 4000; ++i) {
    const std::string page = "docs/page" + std::to_string(i) + ".htm";
    int in = 0;
    for (std::uint64_t k = 0; k < 4; ++k) {
      if (InShard(page, {k, 4})) {
        ++in;
        ++sizes[k];
      }
    }
    EXPECT_EQ(in, 1) << page;
  }
  for (const int size : sizes) {
    EXPECT_GT(size, 850);
  }
  // "a/b.htm" belongs where its bytes hash, on every system and whatever its separators.
  const std::string native = test::Native("a/b.htm");
  EXPECT_TRUE(InShard(native, {Fnv1a64Of("a/b.htm") % 7, 7}));
}

}  // namespace
}  // namespace varnow
