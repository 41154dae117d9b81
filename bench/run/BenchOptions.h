// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace varnow::bench {

// The options every end-to-end benchmark takes.
struct BenchOptions {
  int rounds = 5;
  std::vector<std::filesystem::path> sites;  // real sites to measure besides the generated ones
  std::filesystem::path work = std::filesystem::temp_directory_path() / "varnow-bench";
  bool smoke = false;
};

// Called with an argument the common options do not know, and a way to take its value; says
// whether the benchmark knew it.
using OwnOption =
    std::function<bool(const std::string& arg, const std::function<std::string()>& value)>;

// Reads --rounds N, --site DIR (any number of times), --work DIR and --smoke, handing every
// other argument to `own`. Throws on an argument no one knows and on a value missing. --smoke
// gives one round in a fresh folder named `smokeName` and the process id, in the system's
// temporary folder.
BenchOptions ParseBenchOptions(int argc, char** argv, const std::string& smokeName,
                               const OwnOption& own);

}  // namespace varnow::bench
