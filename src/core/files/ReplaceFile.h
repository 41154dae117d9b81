#pragma once

#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace varnow {

// Why a file could not be replaced: the temporary file could not be made, the bytes could not
// all be written, or the finished file could not be renamed into place. `code` is the errno.
class FileWriteError : public std::runtime_error {
 public:
  enum class Stage { kCreate, kWrite, kCommit };
  FileWriteError(Stage stage, int code);
  Stage stage;
  int code;
};

// Writes `bytes` to a new temporary file in the target's folder and renames it over `target`.
// A failed or interrupted write leaves the target as it was, and no temporary file behind.
// A symbolic link at `target` is replaced by the new file, not followed. A new file gets the
// usual permissions (0666 less the umask); a replaced file keeps its permission bits.
void ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes);

}  // namespace varnow
