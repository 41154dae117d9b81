// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "paths/SplitPath.h"
#include "support/TempDir.h"

namespace varnow {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteBytes;

std::string SplitError(const std::string& text) {
  try {
    SplitPath(text);
  } catch (const PathError& e) {
    return e.what();
  }
  return "no error";
}

TEST(SplitPath, FilesAndFolders) {
  TempDir dir;
  WriteBytes(dir / "site/a/b/page.html", "");
  const std::string site = (dir / "site").string();

  SplitParts p = SplitPath(site + "/a/b/page.html");
  EXPECT_EQ(p.directory, site + "/a/b");
  EXPECT_EQ(p.fileName, "page.html");
  // A folder, with or without a final separator.
  for (const std::string& text : {site, site + "/", site + "//", site + "/a/..", site + "/./"}) {
    p = SplitPath(text);
    EXPECT_EQ(p.directory, site) << text;
    EXPECT_EQ(p.fileName, "") << text;
  }
  // A doubled separator and dot parts are read as the system reads them.
  p = SplitPath(site + "//a/./b//page.html");
  EXPECT_EQ(p.directory, site + "/a/b");
  EXPECT_EQ(p.fileName, "page.html");
  EXPECT_EQ(SplitPath("/").directory, "/");
  EXPECT_EQ(SplitPath("//").directory, "/");
  // No ".." climbs above the root, so a mirrored path stays inside the output folder.
  EXPECT_EQ(SplitPath("/../" + site.substr(1)).directory, site);
}

TEST(SplitPath, RelativeTextFromTheWorkingDirectoryWhichStaysAsItWas) {
  TempDir dir;
  WriteBytes(dir / "site/page.htm", "");
  const fs::path cwd = fs::current_path();
  const std::string relative = fs::relative(dir / "site", cwd).string();
  const SplitParts p = SplitPath(relative + "/page.htm");
  EXPECT_EQ(p.directory, (dir / "site").string());
  EXPECT_EQ(p.fileName, "page.htm");
  EXPECT_EQ(fs::current_path(), cwd);
}

TEST(SplitPath, MissingFolders) {
  TempDir dir;
  WriteBytes(dir / "file", "");
  EXPECT_EQ(SplitError((dir / "gone").string()), "File not found");
  EXPECT_EQ(SplitError((dir / "gone/x.htm").string()), "File not found");
  EXPECT_EQ(SplitError((dir / "gone/deeper/x.htm").string()), "Invalid filename");
  EXPECT_EQ(SplitError((dir / "file/x.htm").string()), "Invalid filename");
}

TEST(MirroredPath, JoinsTheOutputRootAndTheWholeSourceFolder) {
  EXPECT_EQ(MirroredPath("/out", "/site/a/b", "page.html"), "/out/site/a/b/page.html");
  EXPECT_EQ(MirroredPath("/out", "/", "page.html"), "/out/page.html");
  EXPECT_EQ(MirroredFolder("/out", "/site"), "/out/site");
  EXPECT_EQ(MirroredFolder("/out", "/"), "/out");
  // The output root is joined as given; the system reads the doubled separator as one.
  EXPECT_EQ(MirroredPath("/out/", "/site", "log.txt"), "/out//site/log.txt");
  EXPECT_EQ(MirroredPath("out", "/site", "a.htm"), "out/site/a.htm");
}

}  // namespace
}  // namespace varnow
