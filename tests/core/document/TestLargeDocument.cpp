// SPDX-License-Identifier: MIT
// Positions past 2 GiB: every operation must count in 64 bits.
#include <gtest/gtest.h>

#include "document/FastDocument.h"

namespace varnow {
namespace {

TEST(LargeDocument, PositionsPastTwoGigabytes) {
  constexpr Pos kFar = (Pos{1} << 31) + 100;  // beyond what 32 bits can count
  // Loaded piece by piece, as files are, so that the text is held only once.
  FastDocument doc;
  const std::string piece(1 << 24, 'x');
  while (doc.Length() + static_cast<Pos>(piece.size()) < kFar - 1) {
    doc.Append(piece);
  }
  doc.Append(std::string(static_cast<std::size_t>(kFar - 1 - doc.Length()), 'x'));
  doc.Append("<SpAn>");
  doc.Append(std::string(4096, 'x'));
  const Pos length = doc.Length();

  EXPECT_EQ(doc.FindPattern("<SPAN"), kFar);
  EXPECT_TRUE(doc.PatternRemains("<SPAN"));
  EXPECT_EQ(doc.FindTagEnd(kFar), kFar + 5);
  EXPECT_EQ(doc.FindTagEnd(kFar + 6), 0);

  doc.Delete(kFar, 6);
  EXPECT_EQ(doc.Length(), length - 6);
  EXPECT_EQ(doc.FindPattern("<SPAN"), 0);
  EXPECT_FALSE(doc.PatternRemains("<SPAN"));

  doc.Insert("<b x>", kFar + 7);
  EXPECT_EQ(doc.FindPattern("<B "), kFar + 7);
  EXPECT_EQ(doc.FindTagEnd(1), kFar + 11);
  doc.Insert(std::string_view("\0", 1), kFar);
  EXPECT_FALSE(doc.PatternRemains("<B "));  // behind the NUL now
  EXPECT_EQ(doc.FindPattern("<B "), kFar + 8);
  EXPECT_EQ(doc.Length(), length - 6 + 6);
}

}  // namespace
}  // namespace varnow
