// SPDX-License-Identifier: MIT
// How long the change viewer takes to open on a large page (preparing the page, on a thread of
// its own in the window, and showing it, on the window's thread), and to paint it scrolled to
// its middle and its end (offscreen):
//   BenchChangeViewer [realistic|span-dense] [MB ...]
// For each size: a realistic page and a span-dense one are written with their cleaned copies,
// and a viewer is opened on a change in the middle, as a double-click in the log opens it.
#include <malloc.h>
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "BenchPages.h"
#include "ChangeViewer.h"
#include "ProcessMemory.h"
#include "explain/ExplainPage.h"
#include "messages/MessageText.h"

namespace fs = std::filesystem;
using namespace varnow;

namespace {

void Write(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

using varnow::bench::ResetPeak;
using varnow::bench::StatusBytes;

double Ms(QElapsedTimer& timer) {
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void Bench(const char* name, const std::string& page, const fs::path& dir) {
  const fs::path source = dir / "page.htm";
  const fs::path copy = dir / "copy.htm";
  Write(source, page);
  const auto all = [](ProcedureId) { return true; };
  const BannerSlotReader banners = FixedBannerSlots({{"<!-- ad -->", "<!-- /ad -->"}});
  ReviewRequest request;
  std::size_t changes = 0;
  {
    const PageExplanation e = ExplainPage(page, source.string(), all, banners);
    Write(copy, e.result);
    changes = e.changes.size();
    request = {
        source.string(), e.changes.size() / 2,
        e.changes.empty() ? std::string() : varnow::ChangeLine(e.Reported(e.changes.size() / 2)),
        copy.string()};
  }
  // What the viewer holds of the page, from the request to the page shown and then its result:
  // the growth of the peak resident set.
  // What the bench itself freed is given back first, so that it is not counted as room the
  // viewer finds already there.
  ::malloc_trim(0);
  const std::size_t before = StatusBytes("VmRSS:");
  ResetPeak();

  QElapsedTimer timer;
  timer.start();
  PageReview prepared = ReviewPage(request, all, banners);
  const double prepare = Ms(timer);  // on a thread of its own in the window
  const double preparedPeak = static_cast<double>(StatusBytes("VmHWM:") - before) / 1e6;
  timer.restart();
  ChangeViewer* viewer = ChangeViewer::Show(std::move(prepared), nullptr);
  viewer->show();
  viewer->grab();                 // painted once
  const double open = Ms(timer);  // on the window's thread
  QScrollBar* down = viewer->View()->verticalScrollBar();
  timer.restart();
  down->setValue(down->maximum() / 2);
  viewer->View()->grab();
  const double middle = Ms(timer);
  timer.restart();
  down->setValue(down->maximum());
  viewer->View()->grab();
  const double end = Ms(timer);
  viewer->ShowResult(true);
  viewer->View()->grab();
  const double peak = static_cast<double>(StatusBytes("VmHWM:") - before) / 1e6;
  const double n = static_cast<double>(page.size()) / 1e6;
  std::printf(
      "%-10s %6.1f MB %7zu changes  prepare %7.1f ms  show %6.1f ms  paint middle %5.1f ms  end "
      "%5.1f ms  peak +%6.1f MB = %4.1f N, %6.1f MB of it preparing (limit 4 N + 50 MB: %s)%s\n",
      name, n, changes, prepare, open, middle, end, peak, peak / n, preparedPeak,
      peak <= 4 * n + 50 ? "kept" : "EXCEEDED", viewer->IsComparison() ? "  (compared!)" : "");
  delete viewer;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Sizes in MB; a word among them ("realistic", "span-dense") keeps to that kind of page, so
  // that each can be measured in a process of its own (what one leaves to the allocator
  // shifts the next one's memory figure).
  std::vector<double> sizes;
  std::string only;
  for (int i = 1; i < argc; ++i) {
    if (std::isalpha(static_cast<unsigned char>(argv[i][0]))) {
      only = argv[i];
    } else {
      sizes.push_back(std::atof(argv[i]));
    }
  }
  if (sizes.empty()) {
    sizes = {1, 5, 20};
  }
  const fs::path dir =
      fs::temp_directory_path() / ("varnow-viewer-bench." + std::to_string(::getpid()));
  fs::create_directories(dir);
  for (const double mb : sizes) {
    const auto bytes = static_cast<std::size_t>(mb * 1e6);
    if (only.empty() || only == "realistic") {
      Bench("realistic", varnow::bench::RealisticPage(bytes), dir);
    }
    if (only.empty() || only == "span-dense") {
      Bench("span-dense", varnow::bench::SpanPage(bytes, bytes / 40), dir);
    }
  }
  fs::remove_all(dir);
  return 0;
}
