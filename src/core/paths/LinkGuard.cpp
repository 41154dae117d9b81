// SPDX-License-Identifier: MIT
#include "paths/LinkGuard.h"

#include "platform/FileFacts.h"
#include "platform/PathSyntax.h"
#include "platform/RealPath.h"

namespace varnow {
namespace {

bool IsWithin(const std::string& path, const std::string& folder) {
  if (folder.size() == RootLength(folder)) {
    return path.starts_with(folder);  // "/", "C:\": what lies on it
  }
  return path.size() >= folder.size() && path.compare(0, folder.size(), folder) == 0 &&
         (path.size() == folder.size() || IsPathSeparator(path[folder.size()]));
}

// The end of the part of `folder` that begins at `from`: the next separator, or the end.
std::size_t PartEnd(std::string_view folder, std::size_t from) {
  for (std::size_t i = from; i < folder.size(); ++i) {
    if (IsPathSeparator(folder[i])) {
      return i;
    }
  }
  return folder.size();
}

}  // namespace

std::string RealFolder(const std::string& folder) {
  return RealPathOf(folder).value_or(folder);
}

std::optional<std::string> LinkIntoSearchedTree(std::string_view outputRoot,
                                                std::string_view folder,
                                                const std::string& searchedTree) {
  if (!folder.starts_with(outputRoot)) {
    return std::nullopt;
  }
  std::size_t end = outputRoot.size();
  while (end < folder.size()) {
    end = PartEnd(folder, end + 1);
    const std::string prefix(folder.substr(0, end));
    const std::optional<FileFacts> facts = FactsOf(prefix, Links::kNotFollowed);
    if (!facts) {
      return std::nullopt;  // the rest is made by the run
    }
    if (facts->kind == FileKind::kLink && IsWithin(RealFolder(prefix), searchedTree)) {
      return prefix;
    }
  }
  return std::nullopt;
}

}  // namespace varnow
