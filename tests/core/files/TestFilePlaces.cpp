// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "files/KeptFilePlace.h"
#include "files/MakeFolders.h"
#include "support/SymbolicLink.h"
#include "support/TempDir.h"

namespace varnow {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteBytes;

// A folder is made with its parents, or is there already; a file on the way is no folder to
// make one in.
TEST(MakeFolders, WithTheirParentsOrWhyNot) {
  TempDir dir;
  WriteBytes(dir / "file", "");
  EXPECT_FALSE(MakeFolders(dir / "a/b/c"));
  EXPECT_TRUE(fs::is_directory(dir / "a/b/c"));
  EXPECT_FALSE(MakeFolders(dir / "a/b"));  // there already
  const Failed inAFile = MakeFolders(dir / "file/sub");
  ASSERT_TRUE(inAFile);
  EXPECT_NE(inAFile->cause, FailureCause::kOther) << inAFile->reason;
  EXPECT_FALSE(fs::exists(dir / "file/sub"));
}

#ifdef _WIN32
// Folders past MAX_PATH are made too.
TEST(MakeFolders, PastTheSystemsOldLimit) {
  TempDir dir;
  std::string deep = dir.Path().string();
  while (deep.size() < 300) {
    deep += "\\folder-of-a-long-name";
  }
  EXPECT_FALSE(MakeFolders(deep));
  EXPECT_TRUE(fs::is_directory(fs::path(L"\\\\?\\" + fs::path(deep).wstring())));
}
#endif

// A link to nothing on the way is named, with where it points, instead of "File exists".
TEST(MakeFolders, ADanglingLinkOnTheWayIsSaid) {
  TempDir dir;
  if (!test::MakeSymbolicLink(dir / "gone", dir / "out", true)) {
    GTEST_SKIP() << "the system makes no symbolic links here";
  }
  const Failed failed = MakeFolders(dir / "out/site");
  ASSERT_TRUE(failed);
  EXPECT_EQ(failed->error, SystemError::kDanglingLink);
  EXPECT_NE(failed->reason.find("dangling link: "), std::string::npos) << failed->reason;
}

// What stands where a kept file (the settings, the window's state) goes, and so whether it may
// be read and replaced: links are written through to a regular file, and never to anything
// else.
TEST(KeptFilePlace, WhatStandsThereDecidesTheWrite) {
  TempDir dir;
  WriteBytes(dir / "settings.ini", "");
  fs::create_directory(dir / "folder");
  using Kind = KeptFilePlace::Kind;
  EXPECT_EQ(LookAtKeptFile(dir / "missing.ini").kind, Kind::kMissing);
  EXPECT_EQ(LookAtKeptFile(dir / "settings.ini").kind, Kind::kRegular);
  EXPECT_EQ(LookAtKeptFile(dir / "folder").kind, Kind::kNotRegular);
  EXPECT_FALSE(KeptFileProblem(LookAtKeptFile(dir / "missing.ini"), dir / "missing.ini",
                               {"Файл настроек", "The settings file"}));
  const std::optional<ErrorText> folder = KeptFileProblem(
      LookAtKeptFile(dir / "folder"), dir / "folder", {"Файл настроек", "The settings file"});
  ASSERT_TRUE(folder);
  EXPECT_NE(folder->Shown(Language::kRussian).find("не является обычным файлом"),
            std::string::npos);

  if (!test::MakeSymbolicLink(dir / "settings.ini", dir / "link.ini", false) ||
      !test::MakeSymbolicLink(dir / "gone.ini", dir / "dangling.ini", false) ||
      !test::MakeSymbolicLink(dir / "loop2.ini", dir / "loop1.ini", false) ||
      !test::MakeSymbolicLink(dir / "loop1.ini", dir / "loop2.ini", false)) {
    GTEST_SKIP() << "the system makes no symbolic links here";
  }
  const KeptFilePlace link = LookAtKeptFile(dir / "link.ini");
  EXPECT_EQ(link.kind, Kind::kRegular);
  EXPECT_TRUE(fs::equivalent(link.target, dir / "settings.ini"));
  EXPECT_EQ(LookAtKeptFile(dir / "dangling.ini").kind, Kind::kDanglingLink);
  EXPECT_EQ(LookAtKeptFile(dir / "loop1.ini").kind, Kind::kDanglingLink);
}

}  // namespace
}  // namespace varnow
