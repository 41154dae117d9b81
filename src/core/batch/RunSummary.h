// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cleaning/ProcedureId.h"

namespace varnow {

// What one page's cleaning did, counted as it was cleaned: each procedure's changes and the
// bytes its edits removed and put in, and the page's size before and after.
struct PageTally {
  struct Procedure {
    std::uint64_t changes = 0;
    std::uint64_t removed = 0;
    std::uint64_t inserted = 0;
  };
  std::array<Procedure, kProcedureCount> procedures{};  // by Index(ProcedureId)
  std::uint64_t bytesIn = 0;
  std::uint64_t bytesOut = 0;

  std::uint64_t Changes() const;
};

// What a run did, counted page by page as pages are written, never from the log.
struct RunSummary {
  static constexpr std::size_t kTopPages = 10;

  struct Procedure {
    std::uint64_t changes = 0;
    std::uint64_t pages = 0;  // pages it changed
    std::uint64_t removed = 0;
    std::uint64_t inserted = 0;
  };
  struct Page {
    std::string path;  // as found, bytes as they are
    std::uint64_t changes = 0;
  };

  std::uint64_t pagesFound = 0;
  std::uint64_t pagesChanged = 0;
  std::uint64_t pagesUnchanged = 0;
  std::uint64_t pagesFailed = 0;      // refused one by one; the run went on
  std::uint64_t pagesNotReached = 0;  // after a stop or an error that ended the run
  std::uint64_t pagesUpToDate = 0;    // as the last run left them: not cleaned again
  std::array<Procedure, kProcedureCount> procedures{};
  std::uint64_t bytesIn = 0;
  std::uint64_t bytesOut = 0;
  std::vector<Page> topPages;  // the most changes first; among equals, the first found first
  std::chrono::steady_clock::duration elapsed{};
  bool stopped = false;

  // A page written with its copy.
  void AddWritten(const std::string& path, const PageTally& tally);
};

}  // namespace varnow
