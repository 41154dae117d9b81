// SPDX-License-Identifier: MIT
// How long the change viewer takes to open on a large page (preparing the page, on a thread of
// its own in the window, and showing it, on the window's thread), and to paint it scrolled to
// its middle and its end (offscreen):
//   BenchChangeViewer [MB ...]
// For each size: a realistic page and a span-dense one are written with their cleaned copies,
// and a viewer is opened on a change in the middle, as a double-click in the log opens it.
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "BenchPages.h"
#include "ChangeViewer.h"
#include "explain/ExplainPage.h"
#include "messages/MessageText.h"

namespace fs = std::filesystem;
using namespace varnow;

namespace {

void Write(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

double Ms(QElapsedTimer& timer) {
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void Bench(const char* name, const std::string& page, const fs::path& dir) {
  const fs::path source = dir / "page.htm";
  const fs::path copy = dir / "copy.htm";
  Write(source, page);
  const auto all = [](ProcedureId) { return true; };
  const BannerSlotReader banners = FixedBannerSlots({{"<!-- ad -->", "<!-- /ad -->"}});
  const PageExplanation e = ExplainPage(page, source.string(), all, banners);
  Write(copy, e.result);

  QElapsedTimer timer;
  timer.start();
  ReviewRequest request{
      source.string(), e.changes.size() / 2,
      e.changes.empty() ? std::string() : varnow::ChangeLine(e.Reported(e.changes.size() / 2)),
      copy.string()};
  PageReview prepared = ReviewPage(request, all, banners);
  const double prepare = Ms(timer);  // on a thread of its own in the window
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
  std::printf(
      "%-10s %6.1f MB %7zu changes  prepare %7.1f ms  show %6.1f ms  paint middle %5.1f ms  end "
      "%5.1f ms%s\n",
      name, static_cast<double>(page.size()) / 1e6, e.changes.size(), prepare, open, middle, end,
      viewer->IsComparison() ? "  (compared!)" : "");
  delete viewer;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::vector<double> sizes;
  for (int i = 1; i < argc; ++i) {
    sizes.push_back(std::atof(argv[i]));
  }
  if (sizes.empty()) {
    sizes = {1, 5, 20};
  }
  const fs::path dir =
      fs::temp_directory_path() / ("varnow-viewer-bench." + std::to_string(::getpid()));
  fs::create_directories(dir);
  for (const double mb : sizes) {
    const auto bytes = static_cast<std::size_t>(mb * 1e6);
    Bench("realistic", varnow::bench::RealisticPage(bytes), dir);
    Bench("span-dense", varnow::bench::SpanPage(bytes, bytes / 40), dir);
  }
  fs::remove_all(dir);
  return 0;
}
