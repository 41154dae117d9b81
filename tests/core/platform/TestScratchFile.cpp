// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "platform/ScratchFile.h"
#include "support/TempDir.h"

namespace varnow {
namespace {

std::string ReadAll(const ScratchFile& file, std::uint64_t from, std::size_t piece) {
  std::string bytes;
  std::string block(piece, '\0');
  for (std::size_t got = 1; got != 0;) {
    EXPECT_FALSE(file.ReadAt(from + bytes.size(), block.data(), block.size(), got));
    bytes.append(block, 0, got);
  }
  return bytes;
}

// Written at offsets and read back at any; emptied, moved, and gone without a trace once
// closed; no file where the folder is missing.
TEST(ScratchFile, WrittenAndReadAtOffsetsAndLeavesNothing) {
  test::TempDir dir;
  ScratchFile file;
  ASSERT_TRUE(file.Open(dir.Path()));
  ASSERT_FALSE(file.WriteAt(0, "hello, "));
  ASSERT_FALSE(file.WriteAt(7, std::string(100000, 'x')));
  ASSERT_FALSE(file.WriteAt(3, "LO"));  // over what is there
  const std::string expected = "helLO, " + std::string(100000, 'x');
  EXPECT_EQ(ReadAll(file, 0, 4096), expected);
  EXPECT_EQ(ReadAll(file, 5, 7), expected.substr(5));
  EXPECT_EQ(ReadAll(file, expected.size() + 10, 16), "");  // past the end

  ScratchFile moved = std::move(file);
  EXPECT_FALSE(file.IsOpen());
  ASSERT_TRUE(moved.IsOpen());
  moved.Empty();
  EXPECT_EQ(ReadAll(moved, 0, 4096), "");
  ASSERT_FALSE(moved.WriteAt(0, "again"));
  EXPECT_EQ(ReadAll(moved, 0, 4096), "again");
  moved.Close();
  EXPECT_FALSE(moved.IsOpen());
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));

  EXPECT_FALSE(file.Open(dir / "missing"));
}

}  // namespace
}  // namespace varnow
