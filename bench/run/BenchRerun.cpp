// SPDX-License-Identifier: MIT
// What re-runs cost, end to end:
//   bench_rerun [--rounds N] [--pages N] [--site DIR]... [--work DIR] [--smoke]
// For a tree of tiny pages (100,000 by default) and a copy of each --site (a real site, such as
// Debian's python3.11-doc): the program's start-up alone (--version), a full run, a --changed
// re-run with nothing changed and one with one page changed, medians of N rounds; then four shards
// of the generated documentation site through GNU parallel (where it is installed) beside one run
// with --jobs 2, alternating.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchOptions.h"
#include "ChildRun.h"
#include "SiteMaker.h"

namespace fs = std::filesystem;
using namespace varnow::bench;

namespace {

struct Options : BenchOptions {
  std::size_t pages = 100000;
  std::size_t megabytes = 50;
};

Options Parse(int argc, char** argv) {
  Options o;
  static_cast<BenchOptions&>(o) = ParseBenchOptions(
      argc, argv, "varnow-rerun-smoke", [&o](const std::string& arg, auto& value) {
        if (arg != "--pages") {
          return false;
        }
        o.pages = std::strtoull(value().c_str(), nullptr, 10);
        return true;
      });
  if (o.smoke) {
    o.pages = 300;
    o.megabytes = 2;
  }
  return o;
}

// A tree made once and kept: making it takes longer than cleaning it.
template <typename Make>
fs::path Kept(const fs::path& root, const Make& make) {
  if (!fs::exists(root / ".complete")) {
    fs::remove_all(root);
    make(root);
    std::ofstream(root / ".complete");
  }
  return root;
}

// The first page below `root`.
fs::path FirstPage(const fs::path& root) {
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    const std::string ext = e.path().extension().string();
    if (e.is_regular_file() && (ext == ".htm" || ext == ".html")) {
      return e.path();
    }
  }
  throw std::runtime_error("no page below " + root.string());
}

void Reruns(const Options& o, const fs::path& cli, const std::string& name, const fs::path& tree) {
  const fs::path out = o.work / "rerun-out";
  fs::remove_all(out);
  const fs::path settings = o.work / "rerun.ini";
  WriteSettings(settings, out);
  const std::vector<std::string> run = {cli.string(), "--settings", settings.string(), "--quiet"};
  const auto with = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = run;
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(tree.string());
    return args;
  };
  // The page changed between rounds is a copy of the tree's first page, removed at the end, so
  // the tree stays as it was made.
  const fs::path changing = tree / "varnow-bench-changing.htm";
  fs::copy_file(FirstPage(tree), changing, fs::copy_options::overwrite_existing);
  std::vector<double> startup, full, unchanged, oneChanged;
  for (int round = 0; round < o.rounds; ++round) {
    startup.push_back(RunChild({cli.string(), "--version"}).seconds);
    if (round == 0) {
      full.push_back(RunChild(with({})).seconds);
    }
    unchanged.push_back(RunChild(with({"--changed"})).seconds);
    std::ofstream(changing, std::ios::app) << ' ';
    oneChanged.push_back(RunChild(with({"--changed"})).seconds);
  }
  fs::remove(changing);
  const double start = Median(startup);
  std::printf("\n%s: %s\n", name.c_str(), tree.c_str());
  std::printf("  start-up (--version)          %8.3f s\n", start);
  std::printf("  full run                      %8.3f s\n", Median(full));
  std::printf("  --changed, nothing changed    %8.3f s   %6.1f ms beyond start-up\n",
              Median(unchanged), (Median(unchanged) - start) * 1000);
  std::printf("  --changed, one page changed   %8.3f s   %6.1f ms beyond start-up\n",
              Median(oneChanged), (Median(oneChanged) - start) * 1000);
  fs::remove_all(out);
}

void Shards(const Options& o, const fs::path& cli, const fs::path& site) {
  if (std::system("command -v parallel >/dev/null 2>&1") != 0) {
    std::printf("\nshards: GNU parallel is not installed\n");
    return;
  }
  const fs::path settings = o.work / "shards.ini";
  WriteSettings(settings, o.work / "unused");
  std::vector<double> one, sharded;
  for (int round = 0; round < o.rounds; ++round) {
    const fs::path here = o.work / "shard-rounds" / std::to_string(round);
    fs::create_directories(here);
    one.push_back(RunChild({cli.string(), "--settings", settings.string(), "--quiet", "--jobs", "2",
                            "--output", (here / "one").string(), site.string()})
                      .seconds);
    sharded.push_back(RunChild({"/usr/bin/env",
                                "parallel",
                                "--will-cite",
                                "-j",
                                "4",
                                cli.string(),
                                "--settings",
                                settings.string(),
                                "--quiet",
                                "--jobs",
                                "1",
                                "--output",
                                (here / "sharded").string(),
                                "--shard",
                                "{}/4",
                                "--log",
                                (here / "shard{}.txt").string(),
                                site.string(),
                                ":::",
                                "0",
                                "1",
                                "2",
                                "3"})
                          .seconds);
  }
  fs::remove_all(o.work / "shard-rounds");
  std::printf("\nshards of %s\n", site.c_str());
  std::printf("  one run, --jobs 2                          %8.3f s\n", Median(one));
  std::printf("  4 shards, --jobs 1 each, parallel -j 4     %8.3f s   %.2fx the one run\n",
              Median(sharded), Median(sharded) / Median(one));
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Options o = Parse(argc, argv);
    const fs::path cli = fs::canonical("/proc/self/exe").parent_path() / "varnow-cli";
    fs::create_directories(o.work);
    std::printf("median of %d rounds; every procedure on, one banner pair\n", o.rounds);
    const fs::path tiny = Kept(o.work / ("tiny-" + std::to_string(o.pages)),
                               [&](const fs::path& root) { MakeTinyPagesTree(root, o.pages); });
    Reruns(o, cli, std::to_string(o.pages) + " tiny pages", tiny);
    for (const fs::path& site : o.sites) {
      // A copy of it: a page of it is changed between rounds.
      const fs::path copy = o.work / "site-copy";
      fs::remove_all(copy);
      fs::copy(site, copy, fs::copy_options::recursive);
      Reruns(o, cli, "site " + site.string(), copy);
      fs::remove_all(copy);
    }
    const fs::path site =
        Kept(o.work / ("site-" + std::to_string(o.megabytes) + "MB"),
             [&](const fs::path& root) { MakeDocumentationSite(root, o.megabytes * 1000 * 1000); });
    Shards(o, cli, site);
    if (o.smoke) {
      fs::remove_all(o.work);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_rerun: %s\n", e.what());
    return 1;
  }
  return 0;
}
