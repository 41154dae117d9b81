// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cleaning/ProcedureOrder.h"
#include "explain/ExplainPage.h"
#include "explain/PageReview.h"
#include "messages/MessageText.h"
#include "support/TempDir.h"

namespace varnow {
namespace {

// A page looked at again: its copy as a run made it opens the change asked for (by rank, else
// by its line, else the first with a word on it); a copy that cleaning again does not give,
// or none, turns the review into a comparison that says why.
TEST(PageReview, OpensTheChangeAskedForOrSaysWhyItCompares) {
  test::TempDir dir;
  const std::string page = (dir / "a.htm").string();
  const std::string copy = (dir / "copy.htm").string();
  test::WriteBytes(page, "<script>1</script>x<script>2</script>");
  const auto scripts = [](ProcedureId id) { return id == ProcedureId::kScript; };
  const BannerSlotReader none = FixedBannerSlots({});
  const PageExplanation cleaned = ExplainPage(test::ReadBytes(page), page, scripts, none);
  ASSERT_EQ(cleaned.changes.size(), 2u);
  const std::string second = ChangeLine(cleaned.Reported(1));
  const struct {
    const char* name;
    std::string copyBytes;  // "-": no copy at all
    std::size_t rank;
    std::string line;
    int selected;
    std::string comparisonStart, problemStart;
  } cases[] = {
      {"the page as a whole", "x", 0, "", 0, "", ""},
      {"the change of its rank", "x", 1, second, 1, "", ""},
      {"found by its line", "x", 0, second, 1, "", ""},
      {"a line cleaning no longer logs", "x", 1, "gone", 0, "", "Этой строки лога нет"},
      {"a copy that differs", "y", 1, second, -1, "Повторная очистка", ""},
      {"no copy", "-", 1, second, -1, "Копии страницы нет (Не удалось открыть файл", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(copy);
    if (c.copyBytes != "-") {
      test::WriteBytes(copy, c.copyBytes);
    }
    const PageReview review = ReviewPage({page, c.rank, c.line, copy}, scripts, none);
    EXPECT_EQ(review.title, page);
    EXPECT_EQ(review.selected, c.selected);
    EXPECT_TRUE(review.comparison.starts_with(c.comparisonStart)) << review.comparison;
    EXPECT_EQ(review.comparison.empty(), c.comparisonStart.empty());
    EXPECT_TRUE(review.problem.starts_with(c.problemStart)) << review.problem;
    EXPECT_EQ(review.copy, c.copyBytes == "y" ? "y" : "");
  }
}

}  // namespace
}  // namespace varnow
