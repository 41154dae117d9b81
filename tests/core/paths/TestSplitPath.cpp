// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "paths/SplitPath.h"
#include "support/TempDir.h"

namespace varnow {
namespace {

namespace fs = std::filesystem;
using test::Native;
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

  SplitParts p = SplitPath(site + Native("/a/b/page.html"));
  EXPECT_EQ(p.directory, site + Native("/a/b"));
  EXPECT_EQ(p.fileName, "page.html");
  // A folder, with or without a final separator, and "/" read as a separator on Windows too.
  for (const std::string& text :
       {site, site + Native("/"), site + Native("//"), site + Native("/a/.."), site + "/./"}) {
    p = SplitPath(text);
    EXPECT_EQ(p.directory, site) << text;
    EXPECT_EQ(p.fileName, "") << text;
  }
  // A doubled separator and dot parts are read as the system reads them.
  p = SplitPath(site + Native("//a/./b//page.html"));
  EXPECT_EQ(p.directory, site + Native("/a/b"));
  EXPECT_EQ(p.fileName, "page.html");
  // The root keeps its separator: "/", or "C:\".
  const std::string root = dir.Path().root_path().string();
  EXPECT_EQ(SplitPath(root).directory, root);
  EXPECT_EQ(SplitPath(root + Native("/")).directory, root);
  // No ".." climbs above the root, so a mirrored path stays inside the output folder.
  EXPECT_EQ(SplitPath(root + Native("../") + site.substr(root.size())).directory, site);
}

TEST(SplitPath, RelativeTextFromTheWorkingDirectoryWhichStaysAsItWas) {
  TempDir dir;
  WriteBytes(dir / "site/page.htm", "");
  fs::create_directory(dir / "work");
  // Made the working directory for the call (on Windows a relative path between two drives
  // does not exist).
  const fs::path before = fs::current_path();
  fs::current_path(dir / "work");
  const SplitParts p = SplitPath(Native("../site/page.htm"));
  const fs::path during = fs::current_path();
  fs::current_path(before);
  EXPECT_EQ(p.directory, (dir / "site").string());
  EXPECT_EQ(p.fileName, "page.htm");
  EXPECT_EQ(during, dir / "work");
}

TEST(SplitPath, MissingFolders) {
  TempDir dir;
  WriteBytes(dir / "file", "");
  EXPECT_EQ(SplitError((dir / "gone").string()), "File not found");
  EXPECT_EQ(SplitError((dir / "gone/x.htm").string()), "File not found");
  EXPECT_EQ(SplitError((dir / "gone/deeper/x.htm").string()), "Invalid filename");
  EXPECT_EQ(SplitError((dir / "file/x.htm").string()), "Invalid filename");
}

// The output tree mirrors the source folder below its drive (all of it on POSIX).
TEST(MirroredPath, JoinsTheOutputRootAndTheWholeSourceFolder) {
  const struct {
    const char* output;
    const char* directory;
    const char* name;
    const char* path;  // MirroredPath
  } cases[] = {
#ifdef _WIN32
      {"D:\\out", "C:\\site\\a\\b", "page.html", "D:\\out\\site\\a\\b\\page.html"},
      {"D:\\out", "C:\\", "page.html", "D:\\out\\page.html"},
      // A share's server and share as folders, one separator before them.
      {"D:\\out", "\\\\server\\share\\dir", "a.htm", "D:\\out\\server\\share\\dir\\a.htm"},
      {"D:\\out\\", "C:\\site", "log.txt", "D:\\out\\\\site\\log.txt"},
      {"out", "C:\\site", "a.htm", "out\\site\\a.htm"},
#else
      {"/out", "/site/a/b", "page.html", "/out/site/a/b/page.html"},
      {"/out", "/", "page.html", "/out/page.html"},
      // The output root is joined as given; the system reads the doubled separator as one.
      {"/out/", "/site", "log.txt", "/out//site/log.txt"},
      {"out", "/site", "a.htm", "out/site/a.htm"},
#endif
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MirroredPath(c.output, c.directory, c.name), c.path) << c.directory;
    const std::string path = c.path;
    EXPECT_EQ(MirroredFolder(c.output, c.directory), path.substr(0, path.rfind(c.name) - 1))
        << c.directory;
  }
}

}  // namespace
}  // namespace varnow
