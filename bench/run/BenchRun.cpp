// SPDX-License-Identifier: MIT
// The whole run, end to end, beside a plain copy of the same tree (varnow-cli on one thread and
// on two):
//   bench_run [--rounds N] [--size MB] [--site DIR]... [--work DIR] [--no-window] [--smoke]
// Makes a deterministic documentation site (and a tree whose log is millions of lines), then
// for each tree runs, alternating, `cp -r` of it and `varnow-cli` over it with every procedure
// on, and prints the median wall time of each, their ratio and the peak memory of varnow-cli;
// then the same run in the window (offscreen, two jobs): its time, peak memory, longest
// event-loop stall, and how soon the program ends once its window is closed, after the run and
// halfway through another. --site adds a tree of your own (a real site) to the list.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchOptions.h"
#include "ChildRun.h"
#include "SiteMaker.h"

namespace fs = std::filesystem;
using varnow::bench::ChildResult;
using varnow::bench::Median;
using varnow::bench::RunChild;
using varnow::bench::SiteSize;
using varnow::bench::WriteSettings;

namespace {

std::size_t CountLines(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::size_t lines = 0;
  std::string line;
  while (std::getline(in, line)) {
    ++lines;
  }
  return lines;
}

SiteSize Measure(const fs::path& root) {
  SiteSize size;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (e.is_regular_file()) {
      const std::string ext = e.path().extension().string();
      if (ext == ".htm" || ext == ".html" || ext == ".HTM" || ext == ".HTML") {
        ++size.pages;
        size.bytes += e.file_size();
        size.largest = std::max<std::size_t>(size.largest, e.file_size());
      }
    }
  }
  return size;
}

struct Options : varnow::bench::BenchOptions {
  std::size_t megabytes = 50;
  bool window = true;
};

Options Parse(int argc, char** argv) {
  Options o;
  static_cast<varnow::bench::BenchOptions&>(o) = varnow::bench::ParseBenchOptions(
      argc, argv, "varnow-bench-smoke", [&o](const std::string& arg, auto& value) {
        if (arg == "--size") {
          o.megabytes = std::strtoull(value().c_str(), nullptr, 10);
        } else if (arg == "--no-window") {
          o.window = false;
        } else {
          return false;
        }
        return true;
      });
  if (o.smoke) {
    o.megabytes = 2;
  }
  return o;
}

struct Tree {
  std::string name;
  fs::path root;
};

void Bench(const Options& o, const Tree& tree, const fs::path& bin) {
  const SiteSize size = Measure(tree.root);
  std::printf("\n%s: %s, %zu pages, %.1f MB, largest page %.2f MB\n", tree.name.c_str(),
              tree.root.c_str(), size.pages, static_cast<double>(size.bytes) / 1e6,
              static_cast<double>(size.largest) / 1e6);
  // Every run writes into a folder of its own, all removed at the end: a file system that has
  // just deleted a tree makes new files slower, and that must not fall on one of the runs.
  const fs::path rounds = o.work / "rounds";
  fs::remove_all(rounds);
  const fs::path settings = o.work / "cli.ini";
  WriteSettings(settings, rounds / "unused");

  std::vector<double> copy, cliOne, cli, window;
  long cliOnePeak = 0, cliPeak = 0, windowPeak = 0, stall = 0;
  long long exitAfterRun = 0, exitDuringRun = 0;
  for (int round = 0; round < o.rounds; ++round) {
    const fs::path here = rounds / std::to_string(round);
    fs::create_directories(here);
    copy.push_back(
        RunChild({"/bin/cp", "-r", tree.root.string(), (here / "copy").string()}).seconds);
    const ChildResult one =
        RunChild({(bin / "varnow-cli").string(), "--settings", settings.string(), "--jobs", "1",
                  "--output", (here / "cli1").string(), tree.root.string()});
    cliOne.push_back(one.seconds);
    cliOnePeak = std::max(cliOnePeak, one.peakKiB);
    const ChildResult c =
        RunChild({(bin / "varnow-cli").string(), "--settings", settings.string(), "--jobs", "2",
                  "--output", (here / "cli").string(), tree.root.string()});
    cli.push_back(c.seconds);
    cliPeak = std::max(cliPeak, c.peakKiB);
    if (o.window && fs::exists(bin / "BenchWindowRun")) {
      // The window on as many threads as the command line's second run, then once more closed
      // halfway through its run.
      WriteSettings(here / "window.ini", here / "window");
      const ChildResult w = RunChild({(bin / "BenchWindowRun").string(),
                                      (here / "window.ini").string(), tree.root.string(), "2"},
                                     true);
      double seconds = 0;
      long long longest = 0;
      long long lines = 0;
      long long exitMs = 0;
      if (std::sscanf(w.out.c_str(), "%lf %lld %lld %lld", &seconds, &longest, &lines, &exitMs) !=
          4) {
        throw std::runtime_error("no answer from BenchWindowRun: " + w.out);
      }
      window.push_back(seconds);
      windowPeak = std::max(windowPeak, w.peakKiB);
      stall = std::max(stall, static_cast<long>(longest));
      exitAfterRun = std::max(exitAfterRun, exitMs);
      WriteSettings(here / "closed.ini", here / "closed");
      const ChildResult closed =
          RunChild({(bin / "BenchWindowRun").string(), (here / "closed.ini").string(),
                    tree.root.string(), "2", std::to_string(static_cast<long long>(seconds * 500))},
                   true);
      if (std::sscanf(closed.out.c_str(), "%lf %lld %lld %lld", &seconds, &longest, &lines,
                      &exitMs) != 4) {
        throw std::runtime_error("no answer from BenchWindowRun: " + closed.out);
      }
      exitDuringRun = std::max(exitDuringRun, exitMs);
      stall = std::max(stall, static_cast<long>(longest));
    }
  }
  const fs::path cliOut = rounds / "0" / "cli";
  const fs::path log =
      fs::path(cliOut.string() + fs::weakly_canonical(tree.root).string()) / "log.txt";
  const double copyTime = Median(copy);
  const double cliTime = Median(cli);
  std::printf("  cp -r               %8.3f s\n", copyTime);
  const double cliOneTime = Median(cliOne);
  std::printf(
      "  varnow-cli --jobs 1 %8.3f s  %5.1fx cp -r   peak memory %6.1f MB   log.txt %zu lines\n",
      cliOneTime, cliOneTime / copyTime, static_cast<double>(cliOnePeak) / 1024, CountLines(log));
  std::printf(
      "  varnow-cli --jobs 2 %8.3f s  %5.1fx cp -r   peak memory %6.1f MB   %.2fx the time of "
      "--jobs 1\n",
      cliTime, cliTime / copyTime, static_cast<double>(cliPeak) / 1024, cliTime / cliOneTime);
  if (!window.empty()) {
    const double windowTime = Median(window);
    std::printf(
        "  window, 2 jobs      %8.3f s  %5.2fx varnow-cli --jobs 2   peak memory %6.1f MB   "
        "longest stall %ld ms   exit after close %lld ms after a run, %lld ms during one\n",
        windowTime, windowTime / cliTime, static_cast<double>(windowPeak) / 1024, stall,
        exitAfterRun, exitDuringRun);
  }
  fs::remove_all(rounds);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Options o = Parse(argc, argv);
    const fs::path bin = fs::canonical("/proc/self/exe").parent_path();
    fs::create_directories(o.work);
    std::vector<Tree> trees;

    // Made once per size and kept: making it takes longer than cleaning it.
    const fs::path site = o.work / ("site-" + std::to_string(o.megabytes) + "MB");
    if (!fs::exists(site / ".complete")) {
      fs::remove_all(site);
      varnow::bench::MakeDocumentationSite(site, o.megabytes * 1000 * 1000);
      std::ofstream(site / ".complete");
    }
    trees.push_back({"generated documentation site", site});

    const std::size_t heavyPages = o.smoke ? 4 : 100;
    const fs::path heavy = o.work / ("log-heavy-" + std::to_string(heavyPages));
    if (!fs::exists(heavy / ".complete")) {
      fs::remove_all(heavy);
      varnow::bench::MakeLogHeavyTree(heavy, heavyPages, 240 * 1024, 12000);
      std::ofstream(heavy / ".complete");
    }
    trees.push_back({"span-dense tree, millions of log lines", heavy});
    for (const fs::path& s : o.sites) {
      trees.push_back({"site", s});
    }

    std::printf("median of %d rounds, alternating; every procedure on, one banner pair\n",
                o.rounds);
    for (const Tree& tree : trees) {
      Bench(o, tree, bin);
    }
    if (o.smoke) {
      fs::remove_all(o.work);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_run: %s\n", e.what());
    return 1;
  }
  return 0;
}
