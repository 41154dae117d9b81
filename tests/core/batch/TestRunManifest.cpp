// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "batch/RunManifest.h"
#include "support/TempDir.h"
#include "text/Fnv1a.h"

namespace varnow {
namespace {

RunManifest Sample() {
  RunManifest m;
  m.Put("index.htm", {1, 2, 3, 0xfedcba9876543210ULL, 5, -6});
  m.Put("a folder/page with\nline break.htm", {10, 20, 30, 40, 50, 60});
  m.Put(std::string("\xff\x00.htm", 6), {0, 0, 0, 0, 0, 0});
  return m;
}

// Any key's bytes and any field's value come back as written.
TEST(RunManifest, ReadsBackWhatItWrote) {
  const RunManifest sample = Sample();
  const std::optional<RunManifest> back = RunManifest::Parse(sample.Serialized());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Size(), 3u);
  sample.ForEach([&](const std::string& page, const ManifestRecord& record) {
    ASSERT_NE(back->Find(page), nullptr) << page;
    EXPECT_EQ(*back->Find(page), record) << page;
  });
  EXPECT_EQ(back->Serialized(), sample.Serialized());
  EXPECT_TRUE(RunManifest::Parse(RunManifest().Serialized()));
}

// A manifest that is not whole and of this version is not read at all, never in part.
TEST(RunManifest, NeverTrustsHalfOfOne) {
  const std::string good = Sample().Serialized();
  const std::size_t firstRecord = good.find('\n') + 1;
  std::string flipped = good;
  flipped[firstRecord] = flipped[firstRecord] == '1' ? '2' : '1';  // a size, checked by the hash
  // A key twice, under a hash that holds.
  const std::string twice = "varnow-manifest 1\n1 2 3 4 5 6 1 a\n1 2 3 4 5 6 1 a\n";
  char check[17];
  std::snprintf(check, sizeof check, "%016llx", static_cast<unsigned long long>(Fnv1a64Of(twice)));
  const std::string duplicate = twice + "end 2 " + check + "\n";
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"another version", "varnow-manifest 2" + good.substr(good.find('\n'))},
      {"cut short", good.substr(0, good.size() / 2)},
      {"without its last line break", good.substr(0, good.size() - 1)},
      {"with bytes after its end", good + "x"},
      {"a field changed", flipped},
      {"a key's length past the file", "varnow-manifest 1\n1 2 3 4 5 6 999 a.htm\nend 1 0\n"},
      {"a page twice", duplicate},
      {"a number that is none", "varnow-manifest 1\n1 x 3 4 5 6 5 a.htm\nend 1 0\n"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(RunManifest::Parse(c.bytes)) << c.what;
  }
}

TEST(RunManifest, AFileMissingIsNoProblemADamagedOneIs) {
  test::TempDir dir;
  const std::string path = (dir / "m").string();
  ManifestRead none = ReadManifest(path);
  EXPECT_FALSE(none.problem);
  EXPECT_EQ(none.manifest.Size(), 0u);
  ASSERT_FALSE(WriteManifest(path, Sample()));
  ManifestRead read = ReadManifest(path);
  EXPECT_FALSE(read.problem);
  EXPECT_EQ(read.manifest.Serialized(), Sample().Serialized());
  test::WriteBytes(dir / "m", Sample().Serialized().substr(5));
  read = ReadManifest(path);
  ASSERT_TRUE(read.problem);
  EXPECT_EQ(read.problem->shown, "Не удалось прочитать файл " + path + ": файл поврежден.");
  EXPECT_EQ(read.manifest.Size(), 0u);
  EXPECT_TRUE(WriteManifest((dir / "no" / "folder").string(), Sample()));
}

}  // namespace
}  // namespace varnow
