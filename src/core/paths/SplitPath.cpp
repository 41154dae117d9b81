// SPDX-License-Identifier: MIT
#include "paths/SplitPath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace varnow {
namespace {

std::string WorkingDirectory() {
  std::error_code ec;
  std::filesystem::path cwd = std::filesystem::current_path(ec);
  return ec ? std::string("/") : cwd.string();
}

// "a/./b/../c" becomes "/cwd/a/c"; repeated and trailing separators go.
std::string AbsoluteFolder(std::string_view text) {
  std::filesystem::path p(text);
  if (p.is_relative()) {
    p = std::filesystem::path(WorkingDirectory()) / p;
  }
  std::string s = p.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') {
    s.pop_back();
  }
  return s.empty() ? "/" : s;
}

ErrorText ReasonFor(int err, const std::string& folder) {
  if (err == ENOENT) {
    // Whether the folder alone is missing, or something above it too.
    const std::string parent = std::filesystem::path(folder).parent_path().string();
    struct stat st {};
    if (::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      return MakeError(ErrorId::kFolderNotFound, {folder});
    }
    return MakeError(ErrorId::kFolderPathNotFound, {folder});
  }
  if (err == ENOTDIR) {
    return MakeError(ErrorId::kFolderPathNotFound, {folder});
  }
  // The logged text is the system's alone; the shown one names the folder.
  const SystemFailure failure = FailureOf(err);
  const ErrorText made = MakeError(ErrorId::kFolderUnusable, {folder}, failure);
  return {failure.reason, made.shown, made.english};
}

// The folder must exist and be enterable, as the path is later used below it.
void CheckFolder(const std::string& folder) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) {
    throw PathError(ReasonFor(errno, folder));
  }
  if (!S_ISDIR(st.st_mode)) {
    throw PathError(ReasonFor(ENOTDIR, folder));
  }
  if (::access(folder.c_str(), X_OK) != 0) {
    throw PathError(ReasonFor(errno, folder));
  }
}

bool IsExistingNonFolder(const std::string& folder, const std::string& name) {
  struct stat st {};
  const std::string full = folder == "/" ? "/" + name : folder + "/" + name;
  return ::stat(full.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace

SplitParts SplitPath(std::string_view text) {
  const std::size_t slash = text.rfind('/');
  SplitParts parts;
  std::string folder;
  if (slash == std::string_view::npos) {
    folder = AbsoluteFolder(".");
    parts.fileName = std::string(text);
  } else {
    folder = AbsoluteFolder(slash == 0 ? std::string_view("/") : text.substr(0, slash));
    parts.fileName = std::string(text.substr(slash + 1));
  }
  CheckFolder(folder);
  const std::string& name = parts.fileName;
  const bool wildcard = name.find_first_of("*?") != std::string::npos;
  if (!name.empty() && !wildcard && !IsExistingNonFolder(folder, name)) {
    // Not a file: the name is a folder, and it must exist.
    folder = AbsoluteFolder(folder + "/" + name);
    CheckFolder(folder);
    parts.fileName.clear();
  }
  parts.directory = std::move(folder);
  return parts;
}

std::string MirroredFolder(std::string_view outputFolder, std::string_view directory) {
  std::string out(outputFolder);
  if (directory != "/") {
    out += directory;
  }
  return out;
}

std::string MirroredPath(std::string_view outputFolder, std::string_view directory,
                         std::string_view name) {
  std::string out = MirroredFolder(outputFolder, directory);
  out += '/';
  out += name;
  return out;
}

}  // namespace varnow
