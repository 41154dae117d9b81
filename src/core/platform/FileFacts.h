// SPDX-License-Identifier: MIT
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/SystemFailure.h"

// What the system says of a file, and a file opened for reading only: stat and open/read on
// POSIX, GetFileInformationByHandle and CreateFileW/ReadFile on Windows.
namespace varnow {

// What stands behind a path, whatever way it was reached: two paths (a symbolic link, a hard
// link, a junction, a bind mount) name the same file exactly when their identities are equal.
// The device and inode on POSIX, the volume's serial number and the file index on Windows.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t file = 0;
  auto operator<=>(const FileIdentity&) const = default;
};

enum class FileKind : std::uint8_t { kRegular, kFolder, kLink, kOther };

struct FileFacts {
  FileIdentity identity;
  FileKind kind = FileKind::kOther;  // kLink only where links are not followed
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // nanoseconds since 1970: the last change of the content
  std::int64_t changed = 0;   // the last change of the file's entry (its name, its attributes)
  bool operator==(const FileFacts&) const = default;
};

enum class Links : std::uint8_t { kFollow, kNotFollowed };

// The facts of what stands at `path`; nothing, with `why` where asked for, when the system
// cannot say (nothing stands there: cause kNotFound).
std::optional<FileFacts> FactsOf(const std::string& path, Links links, Failed* why = nullptr);

// A file opened for reading only, never for writing: a regular file alone (a folder, a FIFO or
// a device is not opened, and opening a FIFO does not block).
class ReadOnlyFile {
 public:
  ReadOnlyFile();
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // Opens `path`; a folder fails with kIsAFolder, another kind of file with kOther, and
  // `notRegular`, where given, says which failure was one of these.
  Failed Open(const std::string& path, bool* notRegular = nullptr);
  void Close();
  bool IsOpen() const;
  // The facts of the open file, as it was opened.
  const FileFacts& Facts() const;
  // Reads up to `size` bytes into `into`, going on after interruptions; `got` is 0 at the end.
  Failed Read(char* into, std::size_t size, std::size_t& got);

 private:
  struct State;  // the platform's own
  std::unique_ptr<State> state_;
};

}  // namespace varnow
