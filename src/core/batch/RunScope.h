// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "discovery/PageShard.h"

namespace varnow {

// What one run takes on and what it leaves, beyond the settings: fixed as the run begins.
struct RunScope {
  // Pages whose source, settings and copy are as the run before left them (its manifest says
  // so) are not cleaned again: each is logged as up to date, and nothing of it is written.
  bool changedOnly = false;
  // The whole run with nothing written or removed: no copy, no folder, no log.txt, no manifest,
  // no stray temporary file removed, no probe of a file system's case rule.
  bool dryRun = false;
  // These pages, in this order, in the place of the search (ListedPages).
  std::optional<std::vector<std::string>> listedPages;
  // log.txt's path, in the place of the mirror of the searched folder; its manifest is
  // beside it, named after it.
  std::string logFile;
  // Only the pages of this shard (the log and manifest then named after it, unless logFile
  // names them).
  std::optional<PageShard> shard;
};

}  // namespace varnow
