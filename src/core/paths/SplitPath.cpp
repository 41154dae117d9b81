// SPDX-License-Identifier: MIT
#include "paths/SplitPath.h"

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <system_error>

#include "platform/PathSyntax.h"

namespace varnow {
namespace {

std::string WorkingDirectory() {
  std::error_code ec;
  std::filesystem::path cwd = std::filesystem::current_path(ec);
  return ec ? std::string(1, PathSeparator()) : PathText(cwd);
}

// "a/./b/../c" becomes "/cwd/a/c" ("C:\cwd\a\c" on Windows); repeated and trailing
// separators go, but not the root's.
std::string AbsoluteFolder(std::string_view text) {
  std::filesystem::path p = PathOf(text);
  if (p.is_relative()) {
    p = PathOf(WorkingDirectory()) / p;
  }
  std::string s = PathText(p.lexically_normal());
  while (s.size() > std::max<std::size_t>(RootLength(s), 1) && IsPathSeparator(s.back())) {
    s.pop_back();
  }
  return s.empty() ? std::string(1, PathSeparator()) : s;
}

std::string Joined(const std::string& folder, std::string_view name) {
  std::string full = folder;
  if (!IsPathSeparator(full.back())) {
    full += PathSeparator();
  }
  full += name;
  return full;
}

ErrorText ReasonFor(const SystemFailure& failure, const std::string& folder) {
  if (failure.cause == FailureCause::kNotFound) {
    // Whether the folder alone is missing, or something above it too.
    const std::string parent = PathText(PathOf(folder).parent_path());
    Failed why;
    if (KindOfPath(parent, why) == PathKind::kFolder) {
      return MakeError(ErrorId::kFolderNotFound, {folder});
    }
    return MakeError(ErrorId::kFolderPathNotFound, {folder});
  }
  if (failure.cause == FailureCause::kNotAFolder) {
    return MakeError(ErrorId::kFolderPathNotFound, {folder});
  }
  // The logged text is the system's alone; the shown one names the folder.
  const ErrorText made = MakeError(ErrorId::kFolderUnusable, {folder}, failure);
  return {failure.reason, made.shown, made.english};
}

// The folder must exist and be enterable, as the path is later used below it.
void CheckFolder(const std::string& folder) {
  Failed why;
  const PathKind kind = KindOfPath(folder, why);
  if (kind == PathKind::kNothing) {
    throw PathError(ReasonFor(*why, folder));
  }
  if (kind != PathKind::kFolder) {
    SystemFailure notAFolder;
    notAFolder.cause = FailureCause::kNotAFolder;
    throw PathError(ReasonFor(notAFolder, folder));
  }
  if (const Failed cannot = CheckEnterable(folder)) {
    throw PathError(ReasonFor(*cannot, folder));
  }
}

bool IsExistingNonFolder(const std::string& folder, const std::string& name) {
  Failed why;
  return KindOfPath(Joined(folder, name), why) == PathKind::kOther;
}

// The last separator of `text`, or npos.
std::size_t LastSeparator(std::string_view text) {
  for (std::size_t i = text.size(); i-- > 0;) {
    if (IsPathSeparator(text[i])) {
      return i;
    }
  }
  return std::string_view::npos;
}

}  // namespace

SplitParts SplitPath(std::string_view text) {
  const std::size_t slash = LastSeparator(text);
  SplitParts parts;
  std::string folder;
  if (slash == std::string_view::npos) {
    folder = AbsoluteFolder(".");
    parts.fileName = std::string(text);
  } else {
    // The root keeps its separator ("/", "C:\").
    const std::size_t end = RootLength(text) == slash + 1 ? slash + 1 : slash;
    folder = AbsoluteFolder(text.substr(0, end));
    parts.fileName = std::string(text.substr(slash + 1));
  }
  CheckFolder(folder);
  const std::string& name = parts.fileName;
  const bool wildcard = name.find_first_of("*?") != std::string::npos;
  if (!name.empty() && !wildcard && !IsExistingNonFolder(folder, name)) {
    // Not a file: the name is a folder, and it must exist.
    folder = AbsoluteFolder(Joined(folder, name));
    CheckFolder(folder);
    parts.fileName.clear();
  }
  parts.directory = std::move(folder);
  return parts;
}

std::string MirroredFolder(std::string_view outputFolder, std::string_view directory) {
  std::string out(outputFolder);
  out += BelowTheDrive(directory);
  return out;
}

std::string MirroredPath(std::string_view outputFolder, std::string_view directory,
                         std::string_view name) {
  std::string out = MirroredFolder(outputFolder, directory);
  out += PathSeparator();
  out += name;
  return out;
}

}  // namespace varnow
