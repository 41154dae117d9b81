// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>

// Deterministic sites for the end-to-end benchmark: the same tree, byte for byte, every time.
namespace varnow::bench {

struct SiteSize {
  std::size_t pages = 0;
  std::size_t bytes = 0;
  std::size_t largest = 0;  // the largest page's bytes
};

// A documentation site of about `totalBytes`: span-dense reference pages, pages saved by Word,
// and ordinary pages with scripts, styles, fonts, tables and advertising blocks, spread over
// a few levels of folders, page sizes varying from a few kilobytes to half a megabyte.
SiteSize MakeDocumentationSite(const std::filesystem::path& root, std::size_t totalBytes);

// A tree whose log is far larger than its pages: `pages` span-dense pages of `pageBytes`, each
// with `spanPairs` span elements (two log lines each).
SiteSize MakeLogHeavyTree(const std::filesystem::path& root, std::size_t pages,
                          std::size_t pageBytes, std::size_t spanPairs);

// `pages` tiny pages (about 80 bytes, a script each), a thousand to a folder: what a re-run
// that cleans nothing costs beyond its stats shows here.
SiteSize MakeTinyPagesTree(const std::filesystem::path& root, std::size_t pages);

}  // namespace varnow::bench
