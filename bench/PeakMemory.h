// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

namespace varnow::bench {

// Peak memory of one cleaning, measured in a fresh process so that nothing the benchmark
// itself holds is counted: the child notes its peak resident set (getrusage) before it makes
// the page, makes it, loads it into a document, cleans it with every procedure and takes the
// finished text; the growth of the peak over those steps is the figure. The log lines are
// counted, not kept: keeping them is the host's business.
struct PeakMemory {
  std::size_t documentBytes = 0;
  std::size_t peakGrowthBytes = 0;
};

// Runs `executable` with the child arguments and reads its answer; throws on failure.
PeakMemory MeasureSpanPagePeak(const std::string& executable, std::size_t size,
                               std::size_t spanPairs);

// The child's side: true when the arguments asked for it (it has then printed its answer).
bool RunPeakMemoryChild(int argc, char** argv);

}  // namespace varnow::bench
