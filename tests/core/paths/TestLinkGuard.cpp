// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "paths/LinkGuard.h"
#include "support/SymbolicLink.h"
#include "support/TempDir.h"

namespace varnow {
namespace {

namespace fs = std::filesystem;
using test::Native;
using test::TempDir;
using test::WriteBytes;

TEST(RealFolder, ResolvesDotsAndLinksOrKeepsTheText) {
  TempDir dir;
  WriteBytes(dir / "site/a/x.htm", "");
  const std::string site = (dir / "site").string();
  EXPECT_EQ(RealFolder(site + Native("/a/..")), site);
  EXPECT_EQ(RealFolder(site + Native("/gone")), site + Native("/gone"));
  if (test::MakeSymbolicLink(dir / "site", dir / "alias", true)) {
    EXPECT_EQ(RealFolder((dir / "alias/a").string()), site + Native("/a"));
  }
}

// Only a link in the part of the path below the output root counts, and only one that leads
// into the searched tree; parts that do not exist yet lead nowhere.
TEST(LinkIntoSearchedTree, FindsTheLinkBelowTheOutputRoot) {
  TempDir dir;
  WriteBytes(dir / "site/a/x.htm", "");
  fs::create_directories(dir / "out/real");
  const std::string out = (dir / "out").string();
  const std::string site = RealFolder((dir / "site").string());
  if (!test::MakeSymbolicLink(dir / "site", dir / "out/back", true) ||
      !test::MakeSymbolicLink(dir / "out/real", dir / "out/elsewhere", true)) {
    GTEST_SKIP() << "the system makes no symbolic links here";
  }
  const struct {
    std::string folder;
    std::optional<std::string> link;
  } cases[] = {
      {out + Native("/back/a"), out + Native("/back")},
      {out + Native("/back"), out + Native("/back")},
      {out + Native("/elsewhere/a"), std::nullopt},
      {out + Native("/real/new/deeper"), std::nullopt},
      {out + Native("/new/back"), std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LinkIntoSearchedTree(out, c.folder, site), c.link) << c.folder;
  }
  // The output root itself may lead anywhere: that is where the user put it.
  EXPECT_EQ(LinkIntoSearchedTree(out + Native("/back"), out + Native("/back/a"), site),
            std::nullopt);
}

}  // namespace
}  // namespace varnow
