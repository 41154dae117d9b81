// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

}  // namespace
}  // namespace varnow
