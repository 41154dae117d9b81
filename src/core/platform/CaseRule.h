// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace varnow {

// Whether the file system that holds `folder` ignores letter case in names (FAT, exFAT, a
// folder of a case-folding ext4, most FUSE file systems mounted from them), so that two names
// that differ only in case are one file. Probed by making a file of a lower-case temporary
// name of the program's own (".vnXXXXXXXX.t": a probe cut short by a kill is removed as any
// stray temporary file is) and asking for its upper-case spelling; the file is removed at once.
// Nothing when the probe could not be made (the folder missing or not writable).
std::optional<bool> FolderIgnoresCase(const std::string& folder);

// Names folded to one letter case as a file system that ignores case compares them: ASCII and
// the simple (one to one) Unicode mappings, through the system's tables (the C library's for
// UTF-8, Windows' own). Bytes that are not UTF-8 stay as they are. What the tables need (a
// locale) is made once, by the owner.
class CaseFolding {
 public:
  CaseFolding();
  ~CaseFolding();
  CaseFolding(const CaseFolding&) = delete;
  CaseFolding& operator=(const CaseFolding&) = delete;

  std::string Fold(std::string_view name) const;

 private:
  // The lower case of one code point beyond ASCII, by the system's tables.
  char32_t LowerOf(char32_t c) const;

  struct State;  // the platform's own
  std::unique_ptr<State> state_;
};

}  // namespace varnow
