// SPDX-License-Identifier: MIT
#include "platform/PathSyntax.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace varnow {

char PathSeparator() {
  return '/';
}

bool IsPathSeparator(char c) {
  return c == '/';
}

std::size_t RootLength(std::string_view path) {
  return path.starts_with('/') ? 1 : 0;
}

std::string_view BelowTheDrive(std::string_view folder) {
  return folder == "/" ? std::string_view() : folder;
}

std::filesystem::path PathOf(std::string_view utf8) {
  return std::filesystem::path(utf8);
}

std::string PathText(const std::filesystem::path& path) {
  return path.string();
}

std::filesystem::path SystemPath(const std::filesystem::path& path) {
  return path;
}

PathKind KindOfPath(const std::string& path, Failed& why) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    why = FailureOf(errno);
    return PathKind::kNothing;
  }
  return S_ISDIR(st.st_mode) ? PathKind::kFolder : PathKind::kOther;
}

Failed CheckEnterable(const std::string& folder) {
  if (::access(folder.c_str(), X_OK) != 0) {
    return FailureOf(errno);
  }
  return std::nullopt;
}

}  // namespace varnow
