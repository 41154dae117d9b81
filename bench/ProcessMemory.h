// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstring>
#include <fstream>
#include <string>

// What this process holds in memory, read from /proc/self/status, for benchmarks that measure
// the growth of the peak over one step.
namespace varnow::bench {

// A field of /proc/self/status in bytes: "VmRSS:" now, "VmHWM:" the peak since ResetPeak.
inline std::size_t StatusBytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with(field)) {
      return std::stoull(line.substr(std::strlen(field))) * 1024;
    }
  }
  return 0;
}

// Starts the peak afresh from what is resident now.
inline void ResetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

}  // namespace varnow::bench
