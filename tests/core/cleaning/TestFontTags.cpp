// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "cleaning/Procedures.h"
#include "support/CleaningHarness.h"

namespace varnow {
namespace {

using test::CleaningHarness;
using test::Msg;
using Lines = std::vector<std::string>;

constexpr std::string_view kStart = " удален <font> [%d]";
constexpr std::string_view kEnd = " удален </font> [%d]";

TEST(RemoveFontTags, StartAndEndTags) {
  CleaningHarness h("<FONT face=x>a</Font>");
  RemoveFontTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "a");
  EXPECT_EQ(h.Messages(), (Lines{Msg(kStart, 1), Msg(kEnd, 2)}));
}

TEST(RemoveFontTags, WhatCountsAsAFontTag) {
  struct Case {
    const char* text;
    const char* result;
  };
  const Case cases[] = {
      {"", ""},
      {"no fonts <b>here</b>", "no fonts <b>here</b>"},
      {"<font>a", "a"},                                // a bare start tag
      {"<fontx y>a", "a"},                             // any name beginning with font
      {"a</font >b</font\n>", "a</font >b</font\n>"},  // end tags with a blank stay
      {"<font a><font b>x</font></font>", "x"},        // nested
      {"<font a>x<font b>y</font>", "xy"},             // more starts than ends
      {"</font>x</font><font>", "x"},                  // more ends than starts
  };
  for (const Case& c : cases) {
    CleaningHarness h(c.text);
    RemoveFontTags(h.Ctx(), test::kPath);
    EXPECT_EQ(h.Text(), c.result) << c.text;
  }
}

TEST(RemoveFontTags, NulAheadEndsTheLoopAfterTheRunningPass) {
  CleaningHarness h(std::string("\0<font a>x</font><font b>", 25));
  RemoveFontTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), std::string("\0x<font b>", 10));
}

TEST(RemoveFontTags, StopAllowsTheRestOfThePass) {
  CleaningHarness h("<font a>x</font><font b>y</font>");
  h.StopAtPump(1);
  RemoveFontTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "x<font b>y</font>");
}

TEST(RemoveFontTags, UnterminatedStartTagLeavesTheEndTagsWorkedThrough) {
  CleaningHarness h("<font a>x</font></font><font b");
  RemoveFontTags(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "x<font b");
}

}  // namespace
}  // namespace varnow
