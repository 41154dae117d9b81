// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "cleaning/ProcedureOrder.h"
#include "explain/ExplainPage.h"
#include "messages/Language.h"

namespace varnow {

// A change of a run looked at again: its page, its place among the page's changes, its log
// line as shown, and the page's copy.
struct ReviewRequest {
  std::string page;
  std::size_t changeIndex = 0;
  std::string line;                        // empty: the page as a whole, opened at its first change
  std::string output;                      // the page's copy
  Language language = Language::kRussian;  // the interface's, for what the review says
  Language logLanguage = Language::kRussian;  // the log's, that `line` is in
};

// What the page review found: the page cleaned again, in memory, with every change placed in
// it, and its copy read and compared. When cleaning again does not give the copy on disk (the
// settings or the page changed since the run, or the copy is gone), `comparison` says so and
// the page and the copy are to be compared line by line instead.
struct PageReview {
  std::string title;  // the page's name as shown
  std::string source;
  std::string copy;
  PageExplanation explanation;
  std::string comparison;  // empty when the copy is what cleaning again gives
  int selected = -1;       // the change to show first
  std::string problem;     // what is to be said of the request's line, if anything
  Language logLanguage = Language::kRussian;  // the request's: its changes' lines are in it
};

// Loads the page and its copy and cleans the page again with `switchOn` and `bannerSlot`. It
// takes as long as cleaning the page does, on whichever thread calls it.
PageReview ReviewPage(const ReviewRequest& request,
                      const std::function<bool(ProcedureId)>& switchOn,
                      const BannerSlotReader& bannerSlot);

}  // namespace varnow
