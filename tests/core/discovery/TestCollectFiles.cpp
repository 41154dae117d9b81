// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>  // mkfifo: Windows has no FIFOs in folders
#endif

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "discovery/CollectFiles.h"
#include "support/HiddenFiles.h"
#include "support/SymbolicLink.h"
#include "support/TempDir.h"

namespace varnow {
namespace {

namespace fs = std::filesystem;
using test::Native;
using test::TempDir;
using test::WriteBytes;

// The system's own separator: a search goes on in the one its folder's path ends with.
constexpr char kSeparator = static_cast<char>(fs::path::preferred_separator);

class CollectFilesTest : public ::testing::Test {
 protected:
  std::vector<std::string> Collect(const std::string& path) {
    std::vector<std::string> list;
    const StopToken stop([this] { return ++pumps == stopAtPump; });
    CollectFiles(path, list, stop);
    return list;
  }
  std::string Root() const { return dir.Path().string() + kSeparator; }

  TempDir dir;
  int pumps = 0;
  int stopAtPump = 0;
};

// The expected list, worked out independently: every entry in the system's listing order,
// folders searched where they are met.
void Reference(const fs::path& folder, const std::string& prefix, std::vector<std::string>& out) {
  for (const fs::directory_entry& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (e.is_directory()) {
      Reference(e.path(), prefix + name + kSeparator, out);
    } else {
      std::string ext = e.path().extension().string();
      std::transform(ext.begin(), ext.end(), ext.begin(),
                     [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
      if (ext == ".HTM" || ext == ".HTML" || name == ".htm") {
        out.push_back(prefix + name);
      }
    }
  }
}

TEST_F(CollectFilesTest, DepthFirstInTheSystemsListingOrder) {
  for (const char* f : {"a.htm", "b.html", "c.htm", "sub/x.htm", "sub/y.HTML", "sub/deep/z.htm",
                        "sub/deep/skip.txt", "other/w.htm", "e.htm", "f.htm", "g.htm"}) {
    WriteBytes(dir / f, "");
  }
  const std::vector<std::string> list = Collect(Root());
  std::vector<std::string> expected;
  Reference(dir.Path(), Root(), expected);
  EXPECT_EQ(list.size(), 10u);
  EXPECT_EQ(list, expected);
}

TEST_F(CollectFilesTest, ExtensionRuleAndHiddenEntries) {
  for (const char* f : {"index.HTM", "a.HtMl", ".htm", ".hidden/h.htm", "pages.htm/inner.html",
                        "a.shtml", "a.htm.bak", "a.htmx", "a.txt", "htm", "a.", "a.h tm"}) {
    WriteBytes(dir / f, "");
  }
  // Hidden and system files and folders of Windows are pages as any other.
  for (const char* f : {".hidden", "a.HtMl", "pages.htm/inner.html"}) {
    EXPECT_EQ(test::MarkHiddenAndSystem(dir / f), kSeparator == '\\') << f;  // Windows only
  }
  std::vector<std::string> list = Collect(Root());
  std::sort(list.begin(), list.end());
  EXPECT_EQ(list, (std::vector<std::string>{Root() + Native(".hidden/h.htm"), Root() + ".htm",
                                            Root() + "a.HtMl", Root() + "index.HTM",
                                            Root() + Native("pages.htm/inner.html")}));
}

TEST_F(CollectFilesTest, MissingOrEmptyFolderAddsNothing) {
  EXPECT_TRUE(Collect(Root() + Native("missing/")).empty());
  fs::create_directory(dir / "empty");
  EXPECT_TRUE(Collect(Root() + Native("empty/")).empty());
  WriteBytes(dir / "file.htm", "");
  EXPECT_TRUE(Collect(Root() + Native("file.htm/")).empty());
}

TEST_F(CollectFilesTest, LinkedFoldersAreNeverSearchedTwice) {
  WriteBytes(dir / "real" / "x.htm", "");
  WriteBytes(dir / "a" / "y.htm", "");
  fs::create_directory(dir / "b");
  const struct {
    const char* target;
    fs::path link;
  } links[] = {
      {".", dir / "self"},                                    // a loop onto the root
      {"..", dir / "a" / "up"},                               // a loop onto the parent
      {"../b", dir / "a" / "to-b"},                           // a and b point at each other
      {"../a", dir / "b" / "to-a"}, {"real", dir / "alias"},  // a second way into one folder
  };
  for (const auto& l : links) {
    if (!test::MakeSymbolicLink(l.target, l.link, true)) {
      GTEST_SKIP() << "the system makes no symbolic links here";
    }
  }
  std::vector<std::string> list = Collect(Root());
  // x.htm and y.htm once each, under whichever name the walk met first.
  ASSERT_EQ(list.size(), 2u);
  std::sort(list.begin(), list.end(), [](const std::string& l, const std::string& r) {
    return fs::path(l).filename() < fs::path(r).filename();
  });
  EXPECT_EQ(fs::path(list[0]).filename(), "x.htm");
  EXPECT_EQ(fs::path(list[1]).filename(), "y.htm");
  EXPECT_TRUE(fs::equivalent(list[0], dir / "real" / "x.htm"));
}

TEST_F(CollectFilesTest, OnlyRegularFilesAfterFollowingLinks) {
  WriteBytes(dir / "real.txt", "");
  if (!test::MakeSymbolicLink("real.txt", dir / "link.htm", false) ||  // a page by its name
      !test::MakeSymbolicLink("missing", dir / "dead.htm", false)) {   // cannot be loaded
    GTEST_SKIP() << "the system makes no symbolic links here";
  }
#ifndef _WIN32
  ASSERT_EQ(::mkfifo((dir / "pipe.htm").c_str(), 0600), 0);  // would block the loading
#endif
  EXPECT_EQ(Collect(Root()), std::vector<std::string>{Root() + "link.htm"});
}

TEST_F(CollectFilesTest, StopKeepsWhatWasFoundAndEndsEveryLevel) {
  for (int i = 0; i < 10; ++i) {
    WriteBytes(dir / ("p" + std::to_string(i) + ".htm"), "");
    WriteBytes(dir / "sub" / ("q" + std::to_string(i) + ".htm"), "");
  }
  const std::vector<std::string> all = Collect(Root());
  ASSERT_EQ(all.size(), 20u);
  for (int k : {1, 4, 9, 17, 30}) {
    pumps = 0;
    stopAtPump = k;
    const std::vector<std::string> part = Collect(Root());
    EXPECT_LT(part.size(), all.size()) << k;
    EXPECT_TRUE(std::equal(part.begin(), part.end(), all.begin())) << k;
    // The flag is seen at the next check: at most one more pump (a folder entry and "." and
    // ".." pump twice before they look).
    EXPECT_GE(pumps, k);
    EXPECT_LE(pumps, k + 1);
  }
}

}  // namespace
}  // namespace varnow
