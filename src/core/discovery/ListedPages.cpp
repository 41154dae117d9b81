// SPDX-License-Identifier: MIT
#include "discovery/ListedPages.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <unordered_set>

#include "discovery/CollectFiles.h"
#include "platform/FileFacts.h"
#include "platform/PathSyntax.h"
#include "text/LoggedName.h"

namespace varnow {
namespace {

using Parts = std::vector<std::string_view>;

// The parts of `path` (without its root), "." and empty parts dropped and each ".." taking the
// part before it away; nothing where a ".." would climb above the start.
std::optional<Parts> NormalParts(std::string_view path) {
  Parts parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = start;
    while (end < path.size() && !IsPathSeparator(path[end])) {
      ++end;
    }
    const std::string_view part = path.substr(start, end - start);
    if (part == "..") {
      if (parts.empty()) {
        return std::nullopt;
      }
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  return parts;
}

std::string AbsoluteText(const std::string& path) {
  if (RootLength(path) > 0) {
    return path;
  }
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(PathOf(path), error);
  return error ? path : PathText(absolute);
}

// The parts of `entry` below the searched folder, given as its absolute text with its root's
// length and its parts; nothing when the entry does not lead into the folder.
std::optional<Parts> PartsBelow(const std::string& entry, std::string_view folder, std::size_t root,
                                const std::optional<Parts>& base) {
  if (RootLength(entry) == 0) {
    return NormalParts(entry);
  }
  if (!base || root == 0 || RootLength(entry) != root ||
      std::string_view(entry).substr(0, root) != folder.substr(0, root)) {
    return std::nullopt;
  }
  std::optional<Parts> parts = NormalParts(std::string_view(entry).substr(root));
  if (!parts || parts->size() <= base->size() ||
      !std::equal(base->begin(), base->end(), parts->begin())) {
    return std::nullopt;
  }
  parts->erase(parts->begin(), parts->begin() + static_cast<std::ptrdiff_t>(base->size()));
  return parts;
}

}  // namespace

std::vector<std::string> SplitPageList(std::string_view bytes, bool nulSeparated) {
  const char end = nulSeparated ? '\0' : '\n';
  std::vector<std::string> entries;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t stop = bytes.find(end, start);
    if (stop == std::string_view::npos) {
      stop = bytes.size();
    }
    std::string_view entry = bytes.substr(start, stop - start);
    if (!nulSeparated && entry.ends_with('\r')) {
      entry.remove_suffix(1);
    }
    if (!entry.empty()) {
      entries.emplace_back(entry);
    }
    start = stop + 1;
  }
  return entries;
}

std::vector<std::string> ListedPages(const std::string& folder,
                                     const std::vector<std::string>& entries,
                                     const ListRefusal& onRefused, const PageShard* shard) {
  const std::string root =
      !folder.empty() && IsPathSeparator(folder.back()) ? folder : folder + PathSeparator();
  std::vector<std::string> pages;
  std::unordered_set<std::string> listed;
  // What an absolute entry must begin with, worked out once.
  const std::string absolute = AbsoluteText(folder);
  const std::size_t absoluteRoot = RootLength(absolute);
  const std::optional<Parts> base = NormalParts(std::string_view(absolute).substr(absoluteRoot));
  for (const std::string& entry : entries) {
    const std::optional<Parts> parts = PartsBelow(entry, absolute, absoluteRoot, base);
    if (!parts || parts->empty()) {
      if (shard != nullptr && shard->index != 0) {
        continue;
      }
      onRefused(entry,
                MakeError(ErrorId::kNotBelowFolder, {LoggedName(entry), LoggedName(folder)}));
      continue;
    }
    std::string page = root;
    for (std::size_t i = 0; i < parts->size(); ++i) {
      page += (*parts)[i];
      if (i + 1 < parts->size()) {
        page += PathSeparator();
      }
    }
    if (shard != nullptr && !InShard(std::string_view(page).substr(root.size()), *shard)) {
      continue;
    }
    if (!listed.insert(page).second) {
      continue;  // listed twice: cleaned (or refused) once
    }
    if (!HasPageExtension(parts->back())) {
      onRefused(page, MakeError(ErrorId::kNotAPage, {LoggedName(page)}));
      continue;
    }
    Failed why;
    const std::optional<FileFacts> facts = FactsOf(page, Links::kFollow, &why);
    if (!facts) {
      onRefused(page, MakeError(ErrorId::kCannotOpen, {page}, *why));
      continue;
    }
    if (facts->kind != FileKind::kRegular) {
      onRefused(page, MakeError(ErrorId::kNotARegularFile, {LoggedName(page)}));
      continue;
    }
    pages.push_back(std::move(page));
  }
  return pages;
}

}  // namespace varnow
