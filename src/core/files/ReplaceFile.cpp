// SPDX-License-Identifier: MIT
// What replacing a file means on every system; the steps themselves are the platform's
// (platform/posix/ReplaceFile.cpp, platform/windows/ReplaceFile.cpp).
#include "files/ReplaceFile.h"

#include <utility>

namespace varnow {
namespace {

std::string Describe(FileWriteError::Stage stage, const SystemFailure& why) {
  const char* what = stage == FileWriteError::Stage::kCreate  ? "cannot create"
                     : stage == FileWriteError::Stage::kWrite ? "cannot write"
                                                              : "cannot replace";
  return std::string(what) + ": " + why.reason;
}

}  // namespace

FileWriteError::FileWriteError(Stage s, int errorNumber)
    : FileWriteError(s, FailureOf(errorNumber)) {}

FileWriteError::FileWriteError(Stage s, SystemFailure why)
    : std::runtime_error(Describe(s, why)), stage(s), failure(std::move(why)) {}

void ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes) {
  NewFile file(target);
  file.Write(bytes);
  file.Commit();
}

std::optional<FileWriteError> TryReplaceFileContents(const std::filesystem::path& target,
                                                     std::string_view bytes) {
  try {
    ReplaceFileContents(target, bytes);
  } catch (const FileWriteError& e) {
    return e;
  }
  return std::nullopt;
}

std::optional<FileWriteError> NewFile::TryCommit() {
  try {
    Commit();
  } catch (const FileWriteError& e) {
    return e;
  }
  return std::nullopt;
}

}  // namespace varnow
