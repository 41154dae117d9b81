// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/FileFacts.h"
#include "settings/IniLines.h"

namespace varnow {

// A settings file read once and kept, for a reader that asks very often: a run asks for the
// 21 banner slots of every page. Refresh reads the file again only when it has changed on disk
// (another file at the path, another size, modification or change time), which costs one stat;
// the program's own writes always make a new file, so each of them is seen at once.
class CachedIniFile {
 public:
  explicit CachedIniFile(std::filesystem::path file) : file_(std::move(file)) {}
  // The index points into the lines: a copy would point into the original's.
  CachedIniFile(const CachedIniFile&) = delete;
  CachedIniFile& operator=(const CachedIniFile&) = delete;
  CachedIniFile(CachedIniFile&&) = default;
  CachedIniFile& operator=(CachedIniFile&&) = default;

  const std::filesystem::path& Path() const { return file_; }
  void Refresh();
  // Forgets what was read: the next Refresh reads the file.
  void Forget();

  // The value's bytes (cp1251) exactly as stored, or "" when the file, the section or the key
  // is missing. Section and key are given as cp1251 bytes. Valid until the next Refresh.
  std::string_view Value(std::string_view section, std::string_view key) const;
  // Grows whenever what Value gives may have changed (the file read again, or forgotten).
  std::uint64_t Version() const { return version_; }

 private:
  std::filesystem::path file_;
  bool known_ = false;
  FileFacts facts_;  // the file's when it was read
  std::vector<ini::Line> lines_;
  ini::ValueIndex values_;  // of lines_, made as they are read
  std::uint64_t version_ = 0;
};

}  // namespace varnow
