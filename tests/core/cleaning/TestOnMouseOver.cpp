// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "cleaning/Procedures.h"
#include "support/CleaningHarness.h"

namespace varnow {
namespace {

using test::CleaningHarness;
using test::Msg;
using Lines = std::vector<std::string>;

constexpr std::string_view kHandler = " удален onMouseOver [%d]";

struct Case {
  const char* text;
  const char* result;
};

TEST(RemoveOnMouseOver, CutsUpToTheTagEnd) {
  const Case cases[] = {
      // The blank before the handler stays, and so does the tag's '>'.
      {"<a href='x.htm' onMouseOver='hi()'>", "<a href='x.htm' >"},
      // Attributes after the handler go with it.
      {"<img onmouseover='swap()' src='a.gif'>", "<img >"},
      // A '>' inside the value ends the cut there.
      {"<a ONMOUSEOVER='a>b'>t", "<a >b'>t"},
      // Outside tags it is cut up to the next '>' of the document.
      {"text onmouseover=1 more <b>", "text >"},
      // A blank before the equals sign, and other handlers, are left alone.
      {"<a onMouseOver ='x' onMouseOut='y'>", "<a onMouseOver ='x' onMouseOut='y'>"},
  };
  for (const Case& c : cases) {
    CleaningHarness h(c.text);
    RemoveOnMouseOver(h.Ctx(), test::kPath);
    EXPECT_EQ(h.Text(), c.result) << c.text;
  }
  CleaningHarness h("<a href='x.htm' onMouseOver='hi()'>");
  RemoveOnMouseOver(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Messages(), Lines{Msg(kHandler, 17)});
}

TEST(RemoveOnMouseOver, SeveralHandlersFirstToLastIgnoringStop) {
  CleaningHarness h("<a onMouseOver=1><b onmouseover=2>");
  h.SetStop();
  RemoveOnMouseOver(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "<a ><b >");
  EXPECT_EQ(h.Messages(), (Lines{Msg(kHandler, 4), Msg(kHandler, 8)}));
  EXPECT_EQ(h.Pumps(), 2);
}

TEST(RemoveOnMouseOver, HandlerWithoutATagEndStays) {
  CleaningHarness h("<a onMouseOver=1> x onmouseover=2");
  RemoveOnMouseOver(h.Ctx(), test::kPath);
  EXPECT_EQ(h.Text(), "<a > x onmouseover=2");
  EXPECT_EQ(h.Lines().size(), 1u);
}

}  // namespace
}  // namespace varnow
