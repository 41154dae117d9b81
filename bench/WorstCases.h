// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cleaning/CleaningContext.h"

namespace varnow::bench {

// For each procedure, a page built to make it work hardest: many passes, with the places it
// edits far apart (so that edits in one place must not cost a sweep of the text in another),
// stray closing tags before the elements, and tags that can never be completed.
struct WorstCase {
  std::string_view name;
  std::string (*make)(std::size_t size);
  void (*clean)(CleaningContext& ctx);
};

const std::vector<WorstCase>& WorstCases();

}  // namespace varnow::bench
