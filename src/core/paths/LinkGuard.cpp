// SPDX-License-Identifier: MIT
#include "paths/LinkGuard.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

namespace varnow {
namespace {

bool IsWithin(const std::string& path, const std::string& folder) {
  if (folder == "/") {
    return true;
  }
  return path.size() >= folder.size() && path.compare(0, folder.size(), folder) == 0 &&
         (path.size() == folder.size() || path[folder.size()] == '/');
}

}  // namespace

std::string RealFolder(const std::string& folder) {
  char real[PATH_MAX];
  return ::realpath(folder.c_str(), real) != nullptr ? std::string(real) : folder;
}

std::optional<std::string> LinkIntoSearchedTree(std::string_view outputRoot,
                                                std::string_view folder,
                                                const std::string& searchedTree) {
  if (!folder.starts_with(outputRoot)) {
    return std::nullopt;
  }
  std::size_t end = outputRoot.size();
  while (end < folder.size()) {
    const std::size_t next = folder.find('/', end + 1);
    end = next == std::string_view::npos ? folder.size() : next;
    const std::string prefix(folder.substr(0, end));
    struct stat st {};
    if (::lstat(prefix.c_str(), &st) != 0) {
      return std::nullopt;  // the rest is made by the run
    }
    if (S_ISLNK(st.st_mode) && IsWithin(RealFolder(prefix), searchedTree)) {
      return prefix;
    }
  }
  return std::nullopt;
}

}  // namespace varnow
