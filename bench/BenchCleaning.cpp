// SPDX-License-Identifier: MIT
// Cleaning speed, beside the speed of merely copying the same bytes.
//   bench_cleaning            the full figures
//   bench_cleaning --smoke    small pages, two iterations each: only shows that it all runs
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BenchPages.h"
#include "PeakMemory.h"
#include "WorstCases.h"
#include "cleaning/ProcedureOrder.h"
#include "document/Document.h"

namespace varnow::bench {
namespace {

using Clock = std::chrono::steady_clock;
using Cleaner = std::function<void(CleaningContext&)>;

constexpr std::size_t kKB = 1024;
constexpr std::size_t kMB = 1024 * 1024;

void CleanWithEverything(CleaningContext& ctx) {
  RunProcedures(
      ctx, "/site/page.htm", [](ProcedureId) { return true; },
      FixedBannerSlots({{"<!-- ad -->", "<!-- /ad -->"}}));
}

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// How fast this machine copies the page's bytes from one buffer into another. The target
// starts half a page away from the source (modulo 4096): where malloc happens to put the two
// at nearly the same offset, some processors copy ten times slower (4K aliasing), and the
// figure would say more about the allocator than about copying.
double CopyMegabytesPerSecond(const std::string& page) {
  std::string buffer(page.size() + 8192, '\0');
  const auto source = reinterpret_cast<std::uintptr_t>(page.data());
  const auto base = reinterpret_cast<std::uintptr_t>(buffer.data());
  const std::uintptr_t shift = (source + 2048 - base) % 4096;
  char* target = buffer.data() + shift;
  std::size_t rounds = 0;
  const auto start = Clock::now();
  do {
    std::memcpy(target, page.data(), page.size());
    benchmark::ClobberMemory();
    ++rounds;
  } while (Clock::now() - start < std::chrono::milliseconds(100));
  return static_cast<double>(rounds * page.size()) / Seconds(Clock::now() - start) / 1e6;
}

// The page of the benchmark that runs now; benchmarks run one after another, so keeping only
// the last one made keeps memory low without making any page twice in a row.
class PageShelf {
 public:
  const std::string& Get(const std::string& key, const std::function<std::string()>& make) {
    if (key != key_) {
      page_.clear();
      page_.shrink_to_fit();
      page_ = make();
      key_ = key;
      copySpeed_ = 0;
    }
    return page_;
  }
  // Measured once per page: the library calls a benchmark several times.
  double CopySpeed() {
    if (copySpeed_ == 0) {
      copySpeed_ = CopyMegabytesPerSecond(page_);
    }
    return copySpeed_;
  }

 private:
  std::string key_;
  std::string page_;
  double copySpeed_ = 0;
};

void CleanPage(benchmark::State& state, PageShelf& shelf, const std::string& page,
               const Cleaner& clean) {
  std::uint64_t lines = 0;
  std::uint64_t pumps = 0;
  // One document for every page, as a run keeps one for all its files.
  auto doc = NewDocument();
  const StopToken stop([&pumps] {
    ++pumps;
    return false;
  });
  CleaningContext ctx(*doc, stop, [&lines](const LoggedChange&) { ++lines; });
  const auto start = Clock::now();
  for (auto _ : state) {
    doc->Assign(page);  // a copy, as each file is loaded afresh
    clean(ctx);
    benchmark::DoNotOptimize(doc->View().data());
    doc->Clear();
  }
  const double seconds = Seconds(Clock::now() - start);
  const auto runs = static_cast<double>(state.iterations());
  const double megabytesPerSecond = runs * static_cast<double>(page.size()) / seconds / 1e6;
  const double copy = shelf.CopySpeed();
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(page.size()));
  state.counters["size_MB"] = static_cast<double>(page.size()) / 1e6;
  state.counters["MB/s"] = megabytesPerSecond;
  state.counters["copy_MB/s"] = copy;
  state.counters["copy/clean"] = copy / megabytesPerSecond;
  state.counters["pumps"] = static_cast<double>(pumps) / runs;
  state.counters["lines"] = static_cast<double>(lines) / runs;
}

struct Sizes {
  std::size_t realistic;
  std::size_t large;  // the span and Word pages
  std::size_t worst;
  std::vector<std::size_t> multiples;
  int iterations;  // 0: as many as the library wants
};

void Register(const std::string& name, const Sizes& sizes,
              std::function<void(benchmark::State&)> run) {
  auto* b = benchmark::RegisterBenchmark(name.c_str(), std::move(run));
  b->Unit(benchmark::kMillisecond)->UseRealTime();
  if (sizes.iterations > 0) {
    b->Iterations(sizes.iterations);
  }
}

void RegisterAll(const Sizes& sizes, PageShelf& shelf, const std::string& executable) {
  for (const std::size_t m : sizes.multiples) {
    const std::string x = "/x" + std::to_string(m);
    const std::size_t realistic = sizes.realistic * m;
    Register("a_Realistic_50KB_all" + x, sizes, [&shelf, realistic, x](benchmark::State& s) {
      CleanPage(s, shelf, shelf.Get("a" + x, [&] { return RealisticPage(realistic); }),
                CleanWithEverything);
    });
  }
  for (const std::size_t m : sizes.multiples) {
    const std::string x = "/x" + std::to_string(m);
    const std::size_t size = sizes.large * m;
    const std::size_t pairs = size / 50;  // 200,000 pairs in 10 MB
    Register("b_Spans_10MB_all" + x, sizes, [&shelf, size, pairs, x](benchmark::State& s) {
      CleanPage(s, shelf, shelf.Get("b" + x, [&] { return SpanPage(size, pairs); }),
                CleanWithEverything);
    });
  }
  Register("b_Spans_10MB_peak_memory", {sizes.realistic, sizes.large, sizes.worst, {}, 1},
           [executable, size = sizes.large](benchmark::State& s) {
             PeakMemory peak;
             for (auto _ : s) {
               peak = MeasureSpanPagePeak(executable, size, size / 50);
             }
             s.counters["size_MB"] = static_cast<double>(peak.documentBytes) / 1e6;
             s.counters["peak_MB"] = static_cast<double>(peak.peakGrowthBytes) / 1e6;
             s.counters["peak/size"] = static_cast<double>(peak.peakGrowthBytes) /
                                       static_cast<double>(peak.documentBytes);
           });
  for (const std::size_t m : sizes.multiples) {
    const std::string x = "/x" + std::to_string(m);
    const std::size_t size = sizes.large * m;
    Register("c_Word_10MB_all" + x, sizes, [&shelf, size, x](benchmark::State& s) {
      CleanPage(s, shelf, shelf.Get("c" + x, [&] { return WordPage(size); }), CleanWithEverything);
    });
  }
  for (const WorstCase& worst : WorstCases()) {
    for (const std::size_t m : sizes.multiples) {
      const std::string x = "/x" + std::to_string(m);
      const std::size_t size = sizes.worst * m;
      const std::string name = "d_Worst_" + std::string(worst.name);
      Register(name + x, sizes, [&shelf, &worst, size, name, x](benchmark::State& s) {
        CleanPage(s, shelf, shelf.Get(name + x, [&] { return worst.make(size); }), worst.clean);
      });
    }
  }
}

std::string OwnPath() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  path.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return path;
}

}  // namespace
}  // namespace varnow::bench

int main(int argc, char** argv) {
  using namespace varnow::bench;
  if (RunPeakMemoryChild(argc, argv)) {
    return 0;
  }
  bool smoke = false;
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--smoke") {
      smoke = true;
    } else {
      args.push_back(argv[i]);
    }
  }
  const Sizes sizes = smoke ? Sizes{50 * kKB, 1 * kMB, 64 * kKB, {1, 4}, 2}
                            : Sizes{50 * kKB, 10 * kMB, 1 * kMB, {1, 4, 16}, 0};
  PageShelf shelf;
  RegisterAll(sizes, shelf, OwnPath());
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
