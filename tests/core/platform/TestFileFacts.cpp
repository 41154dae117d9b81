// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/FileFacts.h"
#include "support/TempDir.h"

namespace varnow {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteBytes;

std::optional<FileFacts> Facts(const fs::path& path, Links links = Links::kFollow) {
  return FactsOf(path.string(), links);
}

// Two names of one file have one identity, two files two; what a file is and how large; the
// content's time moves with a write, and nothing stands at a missing path.
TEST(FileFacts, IdentityKindSizeAndTimes) {
  TempDir dir;
  WriteBytes(dir / "a.htm", "abc");
  WriteBytes(dir / "other.htm", "abc");
  fs::create_hard_link(dir / "a.htm", dir / "b.htm");
  const std::optional<FileFacts> a = Facts(dir / "a.htm");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->kind, FileKind::kRegular);
  EXPECT_EQ(a->size, 3u);
  EXPECT_EQ(Facts(dir / "b.htm")->identity, a->identity);
  EXPECT_NE(Facts(dir / "other.htm")->identity, a->identity);
  EXPECT_EQ(Facts(dir.Path())->kind, FileKind::kFolder);
  EXPECT_EQ(Facts(dir.Path(), Links::kNotFollowed)->kind, FileKind::kFolder);

  fs::last_write_time(dir / "a.htm", fs::last_write_time(dir / "a.htm") - std::chrono::hours(1));
  const std::optional<FileFacts> older = Facts(dir / "a.htm");
  EXPECT_LT(older->modified, a->modified);
  EXPECT_NE(*older, *a);
  EXPECT_EQ(*Facts(dir / "a.htm"), *older);  // asked again, unchanged

  Failed why;
  EXPECT_FALSE(FactsOf((dir / "missing").string(), Links::kFollow, &why));
  ASSERT_TRUE(why);
  EXPECT_EQ(why->cause, FailureCause::kNotFound);
}

// A file is read whole, in pieces as asked; a folder or a missing file is not opened.
TEST(ReadOnlyFile, ReadsRegularFilesAlone) {
  TempDir dir;
  std::string content;
  for (int i = 0; i < 5000; ++i) {
    content += static_cast<char>(i * 7);
  }
  WriteBytes(dir / "page.htm", content);
  ReadOnlyFile file;
  ASSERT_FALSE(file.Open((dir / "page.htm").string()));
  EXPECT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Facts().size, content.size());
  EXPECT_EQ(file.Facts().identity, Facts(dir / "page.htm")->identity);
  std::string read;
  char piece[1000];
  for (std::size_t got = 1; got != 0;) {
    ASSERT_FALSE(file.Read(piece, sizeof piece, got));
    read.append(piece, got);
  }
  EXPECT_EQ(read, content);
  file.Close();
  EXPECT_FALSE(file.IsOpen());

  bool notRegular = false;
  EXPECT_EQ(file.Open(dir.Path().string(), &notRegular)->cause, FailureCause::kIsAFolder);
  EXPECT_TRUE(notRegular);
  notRegular = false;
  EXPECT_EQ(file.Open((dir / "missing.htm").string(), &notRegular)->cause, FailureCause::kNotFound);
  EXPECT_FALSE(notRegular);
  EXPECT_FALSE(file.IsOpen());
}

#ifdef _WIN32
// Past MAX_PATH a path is read through the "\\?\" prefix, with "." and ".." still resolved.
TEST(FileFacts, PathsPastTheSystemsOldLimit) {
  TempDir dir;
  std::string deep = dir.Path().string();
  while (deep.size() < 300) {
    deep += "\\folder-of-a-long-name";
  }
  fs::create_directories(fs::path(L"\\\\?\\" + fs::path(deep).wstring()));
  WriteBytes(fs::path(L"\\\\?\\" + fs::path(deep + "\\page.htm").wstring()), "abc");
  const std::optional<FileFacts> page = FactsOf(deep + "\\page.htm", Links::kFollow);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->size, 3u);
  EXPECT_EQ(FactsOf(deep + "\\x\\..\\page.htm", Links::kFollow), page);
  ReadOnlyFile file;
  EXPECT_FALSE(file.Open(deep + "\\page.htm"));
}
#endif

}  // namespace
}  // namespace varnow
