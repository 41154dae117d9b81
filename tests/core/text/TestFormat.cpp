// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "text/Format.h"

namespace varnow {
namespace {

TEST(FormatText, FillsNumbersAndTextsInOrder) {
  EXPECT_EQ(FormatText(" удален <script> [%d]", {std::int64_t{15}}), " удален <script> [15]");
  EXPECT_EQ(FormatText("Обработка файла %d из %d", {std::int64_t{0}, std::int64_t{3}}),
            "Обработка файла 0 из 3");
  EXPECT_EQ(FormatText("Cannot open file \"%s\". %s", {"/a b.htm", "Permission denied"}),
            "Cannot open file \"/a b.htm\". Permission denied");
  EXPECT_EQ(FormatText("%d", {std::int64_t{-1}}), "-1");
  EXPECT_EQ(FormatText("%d", {std::int64_t{5'000'000'000}}), "5000000000");
}

TEST(FormatText, ValuesAreNeverReadAsFormats) {
  // A banner marker may itself hold a percent sign.
  EXPECT_EQ(FormatText(" удален %s [%d]", {"100%d %s", std::int64_t{2}}), " удален 100%d %s [2]");
}

TEST(FormatText, LeavesUnmatchedPlaceholdersAsWritten) {
  EXPECT_EQ(FormatText("a %d b", {}), "a %d b");
  EXPECT_EQ(FormatText("a %s", {std::int64_t{1}}), "a %s");
  EXPECT_EQ(FormatText("100%% %x %", {}), "100% %x %");
}

TEST(FormatText, FillsAtAnyLength) {
  EXPECT_EQ(FormatText("%d", {std::numeric_limits<std::int64_t>::min()}), "-9223372036854775808");
  // Long banner markers make texts longer than any buffer on the stack.
  const std::string marker(1000, 'm');
  EXPECT_EQ(FormatText("удален %s [%d]", {marker, std::int64_t{9}}), "удален " + marker + " [9]");
  EXPECT_EQ(FormatText(std::string(255, 'p') + "ab%s", {"cd"}), std::string(255, 'p') + "abcd");
  std::string out = "/site/a.htm ";
  AppendFormatted(out, "удален <span> [%d]", {std::int64_t{51200}});
  EXPECT_EQ(out, "/site/a.htm удален <span> [51200]");
}

TEST(GroupedDigits, ThousandsSetApartBySpaces) {
  const std::pair<std::uint64_t, std::string> cases[] = {
      {0, "0"}, {999, "999"}, {1000, "1 000"}, {1234567, "1 234 567"}, {100000, "100 000"}};
  for (const auto& [n, text] : cases) {
    EXPECT_EQ(GroupedDigits(n), text);
  }
}

}  // namespace
}  // namespace varnow
