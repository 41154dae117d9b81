// SPDX-License-Identifier: MIT
#include "PeakMemory.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string_view>

#include "BenchPages.h"
#include "cleaning/ProcedureOrder.h"
#include "document/Document.h"

namespace varnow::bench {
namespace {

constexpr std::string_view kChildFlag = "--peak-memory-child";

std::size_t PeakResidentBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<std::size_t>(usage.ru_maxrss) * 1024;  // Linux reports kilobytes
}

}  // namespace

PeakMemory MeasureSpanPagePeak(const std::string& executable, std::size_t size,
                               std::size_t spanPairs) {
  const std::string command = "'" + executable + "' " + std::string(kChildFlag) + " " +
                              std::to_string(size) + " " + std::to_string(spanPairs);
  FILE* child = popen(command.c_str(), "r");
  if (child == nullptr) {
    throw std::runtime_error("cannot start " + command);
  }
  PeakMemory result;
  const int read = std::fscanf(child, "%zu %zu", &result.documentBytes, &result.peakGrowthBytes);
  if (pclose(child) != 0 || read != 2) {
    throw std::runtime_error("no answer from " + command);
  }
  return result;
}

bool RunPeakMemoryChild(int argc, char** argv) {
  if (argc != 4 || argv[1] != kChildFlag) {
    return false;
  }
  const std::size_t size = std::strtoull(argv[2], nullptr, 10);
  const std::size_t pairs = std::strtoull(argv[3], nullptr, 10);
  const std::size_t before = PeakResidentBytes();
  std::string page = SpanPage(size, pairs);
  auto doc = NewDocument();
  doc->Assign(std::move(page));
  const StopToken stop([] { return false; });
  std::size_t lines = 0;
  CleaningContext ctx(*doc, stop, [&lines](const LoggedChange&) { ++lines; });
  RunProcedures(
      ctx, "/site/spans.htm", [](ProcedureId) { return true; },
      FixedBannerSlots({{"<!-- ad -->", "<!-- /ad -->"}}));
  const std::string_view text = doc->View();
  volatile char sink = text.empty() ? '\0' : text[text.size() / 2];
  (void)sink;
  std::printf("%zu %zu\n", size, PeakResidentBytes() - before);
  return true;
}

}  // namespace varnow::bench
