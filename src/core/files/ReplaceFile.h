// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileFacts.h"
#include "platform/SystemFailure.h"

namespace varnow {

// Why a file could not be replaced: the new file could not be made, the bytes could not all be
// written, or the finished file could not be put in place, and the system's reason.
class FileWriteError : public std::runtime_error {
 public:
  enum class Stage { kCreate, kWrite, kCommit };
  FileWriteError(Stage stage, int errorNumber);
  FileWriteError(Stage stage, SystemFailure why);
  Stage stage;
  SystemFailure failure;
};

// A file that will replace `target` once it is complete, so that a failed, interrupted or
// killed run leaves nothing behind. On POSIX it has no name while it is written (an O_TMPFILE
// file in the target's folder); Commit gives it the target's name where nothing stands there
// yet, and otherwise a short temporary name of fixed length renamed over the target in one
// step. Where the file system has no unnamed files, the short name is used from the start and
// removed again on failure; where it cannot link an unnamed file to a name, the bytes are
// copied to such a name at the commit. On Windows it is written under the short temporary
// name, held open without sharing its deletion, and renamed over the target through its own
// handle (FileRenameInfo, the rename MoveFileExW makes). A symbolic link at `target` is
// replaced, not followed. A new file gets the usual permissions (0666 less the umask); on
// POSIX a replaced file keeps its permission bits (on Windows the new file has its folder's).
class NewFile {
 public:
  // Throws FileWriteError (kCreate).
  explicit NewFile(std::filesystem::path target);
  ~NewFile();
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  // The descriptor (POSIX) or handle (Windows) of the file written, for the platform's own
  // code.
  std::intptr_t NativeHandle() const { return handle_; }
  // The facts of the file written (its identity, which its name will have once committed).
  std::optional<FileFacts> Facts() const;
  // Throws FileWriteError (kWrite).
  void Write(std::string_view bytes);
  // The pieces one after another, with as few system calls as they allow.
  void Write(const std::vector<std::string_view>& pieces);
  // Closes the file and puts it in place. Throws FileWriteError (kWrite, kCommit).
  void Commit();
  // The same, the failure returned instead of thrown.
  std::optional<FileWriteError> TryCommit();

 private:
  // Moves the bytes written so far to a new file with a temporary name, which takes the
  // unnamed file's place.
  void CopyToNamedFile();

  std::filesystem::path target_;
  std::string named_;  // the temporary name the file has, if any
  std::intptr_t handle_ = -1;
};

// Writes `bytes` as the new content of `target` through a NewFile: the target is replaced
// whole or left as it was.
void ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes);
// The same, the failure returned instead of thrown.
std::optional<FileWriteError> TryReplaceFileContents(const std::filesystem::path& target,
                                                     std::string_view bytes);

// Removes from `folder` the files of the program's temporary names that runs interrupted at the
// wrong moment (killed between naming a copy and putting it in place) left behind: those last
// changed before `olderThan` and not locked by a run that goes on. Returns their paths.
std::vector<std::string> RemoveStrayTemporaryFiles(const std::filesystem::path& folder,
                                                   std::time_t olderThan);

}  // namespace varnow
