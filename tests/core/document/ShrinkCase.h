// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace varnow::test {

// Makes a failing case small: removes ever smaller runs of items (bytes of a document,
// operations of a sequence) for as long as the case still fails.
template <typename Sequence>
Sequence ShrinkCase(Sequence items, const std::function<bool(const Sequence&)>& fails) {
  for (std::size_t run = items.size() / 2; run >= 1; run /= 2) {
    for (std::size_t at = 0; at + run <= items.size();) {
      Sequence trial = items;
      trial.erase(trial.begin() + static_cast<std::ptrdiff_t>(at),
                  trial.begin() + static_cast<std::ptrdiff_t>(at + run));
      if (fails(trial)) {
        items = std::move(trial);
      } else {
        at += run;
      }
    }
  }
  return items;
}

}  // namespace varnow::test
