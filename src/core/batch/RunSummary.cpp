// SPDX-License-Identifier: MIT
#include "batch/RunSummary.h"

#include <algorithm>

namespace varnow {

std::uint64_t PageTally::Changes() const {
  std::uint64_t changes = 0;
  for (const Procedure& p : procedures) {
    changes += p.changes;
  }
  return changes;
}

void RunSummary::AddWritten(const std::string& path, const PageTally& tally) {
  const std::uint64_t changes = tally.Changes();
  ++(changes > 0 ? pagesChanged : pagesUnchanged);
  bytesIn += tally.bytesIn;
  bytesOut += tally.bytesOut;
  for (std::size_t i = 0; i < kProcedureCount; ++i) {
    const PageTally::Procedure& page = tally.procedures[i];
    Procedure& run = procedures[i];
    run.changes += page.changes;
    run.pages += page.changes > 0 ? 1 : 0;
    run.removed += page.removed;
    run.inserted += page.inserted;
  }
  // Pages come in the file list's order: a later page with as many changes stays behind.
  if (changes == 0 || (topPages.size() == kTopPages && topPages.back().changes >= changes)) {
    return;
  }
  const auto at = std::upper_bound(topPages.begin(), topPages.end(), changes,
                                   [](std::uint64_t n, const Page& p) { return n > p.changes; });
  topPages.insert(at, {path, changes});
  if (topPages.size() > kTopPages) {
    topPages.pop_back();
  }
}

}  // namespace varnow
