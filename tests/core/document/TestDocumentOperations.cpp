// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "support/CleaningHarness.h"

namespace varnow {
namespace {

using test::MakeProgramDocument;

std::unique_ptr<Document> Doc(std::string_view text) {
  auto doc = MakeProgramDocument();
  doc->Assign(std::string(text));
  return doc;
}

TEST(FindPattern, FirstPositionOfAnUpperCasePatternInAnyCase) {
  auto doc = Doc("ab<ScRiPt>x<script>");
  EXPECT_EQ(doc->FindPattern("<SCRIPT"), 3);
  EXPECT_EQ(doc->FindPattern("<SCRIPT>X"), 3);
  EXPECT_EQ(doc->FindPattern("AB"), 1);
  EXPECT_EQ(doc->FindPattern("<STYLE"), 0);
  EXPECT_EQ(doc->FindPattern(""), 0);
  EXPECT_EQ(Doc("")->FindPattern("A"), 0);
}

TEST(FindPattern, OnlyAsciiLettersIgnoreCase) {
  // cp1251 letters above 127 match only themselves: \xE0 is "а", \xC0 is "А".
  auto doc = Doc("x\xE0y");
  EXPECT_EQ(doc->FindPattern("X\xE0Y"), 1);
  EXPECT_EQ(doc->FindPattern("X\xC0Y"), 0);
  // Bytes next to the letter range stay apart: '@' '[' '`' '{'.
  EXPECT_EQ(Doc("`{")->FindPattern("@["), 0);
  EXPECT_EQ(Doc("@[")->FindPattern("@["), 1);
}

TEST(FindPattern, SearchesPastNulBytes) {
  auto doc = Doc(std::string("a\0b<P x>", 8));
  EXPECT_EQ(doc->FindPattern("<P "), 4);
  EXPECT_FALSE(doc->PatternRemains("<P "));
}

TEST(PatternRemains, ReadsTheTextUpToItsFirstNul) {
  EXPECT_TRUE(Doc("<p x>")->PatternRemains("<P "));
  EXPECT_FALSE(Doc("")->PatternRemains("<P "));
  EXPECT_FALSE(Doc("<p x>")->PatternRemains(""));
  // An occurrence that straddles the NUL is cut by it.
  EXPECT_FALSE(Doc(std::string("<P\0 ", 4))->PatternRemains("<P "));
  EXPECT_TRUE(Doc(std::string("<P \0", 4))->PatternRemains("<P "));
  EXPECT_FALSE(Doc(std::string("\0<P ", 4))->PatternRemains("<P "));
}

TEST(FindTagEnd, FirstGreaterThanAtOrAfterTheStart) {
  auto doc = Doc("<a>b>");
  EXPECT_EQ(doc->FindTagEnd(1), 3);
  EXPECT_EQ(doc->FindTagEnd(3), 3);
  EXPECT_EQ(doc->FindTagEnd(4), 5);
  EXPECT_EQ(doc->FindTagEnd(6), 0);
  EXPECT_EQ(doc->FindTagEnd(0), 3);
  EXPECT_EQ(Doc("<a")->FindTagEnd(1), 0);
}

TEST(Delete, OutOfRangeRules) {
  struct Case {
    Pos index, count;
    const char* result;
  };
  const Case cases[] = {
      {1, 1, "bcde"},   {5, 1, "abcd"},  {2, 2, "ade"},   {3, 99, "ab"},    {0, 2, "abcde"},
      {-1, 2, "abcde"}, {6, 1, "abcde"}, {2, 0, "abcde"}, {2, -3, "abcde"}, {1, 5, ""},
  };
  for (const Case& c : cases) {
    auto doc = Doc("abcde");
    doc->Delete(c.index, c.count);
    EXPECT_EQ(doc->View(), c.result) << c.index << "," << c.count;
    EXPECT_EQ(doc->Length(), static_cast<Pos>(std::string_view(c.result).size()));
  }
}

TEST(Insert, OutOfRangeRules) {
  struct Case {
    Pos index;
    const char* result;
  };
  const Case cases[] = {{1, "XYabc"}, {2, "aXYbc"}, {3, "abXYc"}, {4, "abcXY"},
                        {9, "abcXY"}, {0, "XYabc"}, {-5, "XYabc"}};
  for (const Case& c : cases) {
    auto doc = Doc("abc");
    doc->Insert("XY", c.index);
    EXPECT_EQ(doc->View(), c.result) << c.index;
  }
  auto empty = Doc("");
  empty->Insert("<p>", 7);
  EXPECT_EQ(empty->View(), "<p>");
}

TEST(Document, KeepsEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) {
    all += static_cast<char>(b);
  }
  auto doc = Doc(all);
  EXPECT_EQ(doc->View(), all);
  doc->Append("\r\n");
  EXPECT_EQ(doc->Length(), 258);
  doc->Clear();
  EXPECT_EQ(doc->Length(), 0);
  doc->Append(std::string_view("a\0b", 3));
  EXPECT_EQ(doc->View(), std::string_view("a\0b", 3));
}

}  // namespace
}  // namespace varnow
