// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/CaseRule.h"
#include "platform/ExecutablePath.h"
#include "platform/MemoryLimits.h"
#include "support/TempDir.h"

namespace varnow {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(CaseRule, TheProbeAndTheFolding) {
  TempDir dir;
#ifdef _WIN32
  // NTFS, and Wine over any Unix file system, compare names as Windows does.
  EXPECT_EQ(FolderIgnoresCase(dir.Path().string()), std::optional<bool>(true));
#else
  EXPECT_EQ(FolderIgnoresCase(dir.Path().string()), std::optional<bool>(false));  // ext4, tmpfs
#endif
  EXPECT_FALSE(FolderIgnoresCase((dir / "missing").string()).has_value());
  EXPECT_TRUE(fs::is_empty(dir.Path()));  // the probe leaves nothing
  const CaseFolding folding;
  const struct {
    std::string name, folded;
  } cases[] = {
      {"/Out/Index.HTM", "/out/index.htm"},
      {"Страница-ЁЖ.htm", "страница-ёж.htm"},
      {"ÀÉÎ Ωμέγα ÇÑ", "àéî ωμέγα çñ"},
      {"\xff\xfe"
       "BAD.htm",
       "\xff\xfe"
       "bad.htm"},  // bytes that are not UTF-8 stay
      {"a1_-.~", "a1_-.~"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(folding.Fold(c.name), c.folded) << c.name;
  }
}

// The program's own path names the running test program; some memory is always there.
TEST(Platform, TheProgramsPathAndItsMemory) {
  const fs::path exe = ExecutablePath();
  EXPECT_TRUE(exe.is_absolute()) << exe;
  EXPECT_EQ(exe.stem(), "TestPlatform");
  EXPECT_TRUE(fs::is_regular_file(exe)) << exe;
  EXPECT_GT(MemoryARunMayUse(), std::uint64_t{64} << 20);
}

}  // namespace
}  // namespace varnow
