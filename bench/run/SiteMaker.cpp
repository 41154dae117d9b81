// SPDX-License-Identifier: MIT
#include "SiteMaker.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

#include "BenchPages.h"

namespace varnow::bench {
namespace {

void WritePage(const std::filesystem::path& file, const std::string& bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + file.string());
  }
}

}  // namespace

SiteSize MakeDocumentationSite(const std::filesystem::path& root, std::size_t totalBytes) {
  std::mt19937_64 rng(2004);
  SiteSize made;
  while (made.bytes < totalBytes) {
    // Sizes spread like a real site's: many small pages, a few large ones.
    const std::size_t kb = 4 + rng() % 60 + (rng() % 8 == 0 ? rng() % 500 : 0);
    const std::size_t size = std::min(kb * 1024, totalBytes - made.bytes + 1024);
    const auto kind = rng() % 20;
    std::string page;
    std::string name;
    if (kind < 9) {
      page = SpanPage(size, size / 90);  // highlighted code: many log lines per kilobyte
      name = "api";
    } else if (kind < 13) {
      page = WordPage(size);
      name = "doc";
    } else {
      page = RealisticPage(size);
      name = "page";
    }
    const std::size_t n = made.pages;
    const std::filesystem::path folder =
        root / ("part" + std::to_string(n % 7)) / ("chapter" + std::to_string(n % 13));
    WritePage(folder / (name + std::to_string(n) + (n % 3 == 0 ? ".html" : ".htm")), page);
    made.bytes += page.size();
    ++made.pages;
  }
  return made;
}

SiteSize MakeLogHeavyTree(const std::filesystem::path& root, std::size_t pages,
                          std::size_t pageBytes, std::size_t spanPairs) {
  SiteSize made;
  for (std::size_t n = 0; n < pages; ++n) {
    const std::string page = SpanPage(pageBytes, spanPairs);
    WritePage(root / ("group" + std::to_string(n % 10)) / ("spans" + std::to_string(n) + ".htm"),
              page);
    made.bytes += page.size();
    ++made.pages;
  }
  return made;
}

SiteSize MakeTinyPagesTree(const std::filesystem::path& root, std::size_t pages) {
  SiteSize made;
  for (std::size_t n = 0; n < pages; ++n) {
    const std::string page =
        "<html><body><p>page " + std::to_string(n) + "<script>x()</script></p></body></html>\n";
    WritePage(root / ("d" + std::to_string(n / 1000)) / ("p" + std::to_string(n) + ".htm"), page);
    made.bytes += page.size();
    made.largest = std::max(made.largest, page.size());
    ++made.pages;
  }
  return made;
}

}  // namespace varnow::bench
