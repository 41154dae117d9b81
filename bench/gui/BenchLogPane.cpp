// SPDX-License-Identifier: MIT
// Run as: build/bin/BenchLogPane  (uses the offscreen platform unless another one is set)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <cstring>
#include <fstream>
#include <string>

#include "LogPane.h"
#include "ProcessMemory.h"

namespace {

// A log line of a typical length: the path, the message and the position.
std::string Line(long long i) {
  return "/home/user/sites/example/news/archive/2004/page" + std::to_string(i % 5000) +
         ".htm удален <script> [" + std::to_string(i) + "]";
}

// Lines arrive in bursts between two pumps of the run; each burst is shown, the window
// repaints, and the next burst follows.
void ShowBurst(varnow::LogPane& pane, long long first, int burst) {
  for (int i = 0; i < burst; ++i) {
    pane.AppendLine(std::string_view(Line(first + i)));
  }
  QCoreApplication::processEvents();
}

// A whole run's log of a million lines, a thousand per pump.
void BM_MillionLinesInBursts(benchmark::State& state) {
  constexpr long long kLines = 1'000'000;
  constexpr int kBurst = 1000;
  for (auto _ : state) {
    varnow::LogPane pane;
    pane.resize(700, 400);
    pane.show();
    for (long long n = 0; n < kLines; n += kBurst) {
      ShowBurst(pane, n, kBurst);
    }
    benchmark::DoNotOptimize(pane.LineCount());
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_MillionLinesInBursts)->Unit(benchmark::kMillisecond)->Iterations(1);

// One burst of a thousand lines into a pane that already holds range(0) lines.
void BM_BurstIntoFullPane(benchmark::State& state) {
  varnow::LogPane pane;
  pane.resize(700, 400);
  pane.show();
  for (long long i = 0; i < state.range(0); ++i) {
    pane.AppendLine(std::string_view(Line(i)));
  }
  pane.Flush();
  QCoreApplication::processEvents();
  long long next = state.range(0);
  for (auto _ : state) {
    ShowBurst(pane, next, 1000);
    next += 1000;
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_BurstIntoFullPane)
    ->Arg(0)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMicrosecond);

// A run's thread filling the store: a page's changes at a time, as the window's host adds
// them, a million lines in all.
void BM_StoreMillionChangeLines(benchmark::State& state) {
  constexpr long long kLines = 1'000'000;
  for (auto _ : state) {
    varnow::LogStore store;
    std::string page;
    for (long long i = 0; i < kLines; i += 100) {
      page = "/home/user/sites/example/news/archive/2004/page" + std::to_string(i / 100) + ".htm";
      varnow::LogStore::Appender appender(store);
      for (long long k = i; k < i + 100; ++k) {
        appender.AddChange(page, page, "удален <script> [" + std::to_string(k) + "]",
                           static_cast<std::size_t>(k - i), varnow::ProcedureId::kScript);
      }
    }
    benchmark::DoNotOptimize(store.LineCount());
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_StoreMillionChangeLines)->Unit(benchmark::kMillisecond)->Iterations(3);

using varnow::bench::ResetPeak;
using varnow::bench::StatusBytes;

// Copying a five-million-line selection (more than the clipboard takes): how far the peak
// resident set grows over the copy, and what stays held after it, the clipboard's own text
// (at most the 64 MB cap) included.
void BM_CopyFiveMillionLines(benchmark::State& state) {
  constexpr long long kLines = 5'000'000;
  varnow::LogPane pane;
  for (long long i = 0; i < kLines; ++i) {
    pane.Store().Append(Line(i));
  }
  pane.LinesAdded();
  pane.Flush();
  pane.SelectAll();
  std::size_t growth = 0;
  std::size_t held = 0;
  for (auto _ : state) {
    QApplication::clipboard()->clear();
    QCoreApplication::processEvents();
    const std::size_t before = StatusBytes("VmRSS:");
    ResetPeak();
    pane.CopySelection();
    growth = StatusBytes("VmHWM:") - before;
    held = StatusBytes("VmRSS:") - before;
  }
  state.counters["peak_growth_MB"] = static_cast<double>(growth) / (1 << 20);
  state.counters["held_after_MB"] = static_cast<double>(held) / (1 << 20);
}
BENCHMARK(BM_CopyFiveMillionLines)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
