// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The end-to-end benchmarks' children: a program run and measured as its parent sees it.
namespace varnow::bench {

struct ChildResult {
  double seconds = 0;
  long peakKiB = 0;
  std::string out;  // the first line it printed on standard output, when asked to keep it
};

// Runs a program with its output thrown away (or its first line kept); its wall time and peak
// memory. Throws when it fails. `input`, where given, is the file it reads as standard input.
ChildResult RunChild(const std::vector<std::string>& argv, bool keepOutput = false,
                     const std::filesystem::path& input = {});

double Median(std::vector<double> values);

// A settings file with every procedure on, one banner pair, and `outputFolder`.
void WriteSettings(const std::filesystem::path& file, const std::filesystem::path& outputFolder);

}  // namespace varnow::bench
