// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The profile-string (INI) text, line by line, as the settings file's reader and writer share
// it. Everything here works on the file's own bytes (cp1251).
#include "platform/SystemFailure.h"

namespace varnow::ini {

// One line of the file as it stands on disk: its text and its own line end ("\r\n", "\n", or
// nothing for a last line without one), so that rewriting keeps every untouched line intact.
struct Line {
  std::string text;
  std::string end;
};

// No settings file comes near this size; a larger file is not read.
inline constexpr std::size_t kMaxFileBytes = 1024 * 1024;

// Reading the whole file, and why it failed: only a regular file of at most kMaxFileBytes is
// read (a FIFO or a device is never opened for reading, so it cannot block or run forever).
struct FileRead {
  enum class Problem { kNone, kOpen, kNotRegular, kTooLarge, kRead };
  std::optional<std::string> bytes;  // set when the problem is kNone
  Problem problem = Problem::kNone;
  SystemFailure failure;   // for kOpen and kRead
  std::uint64_t size = 0;  // for kTooLarge
};
FileRead ReadFile(const std::filesystem::path& file);

// The whole file, or nothing when it is missing or cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& file);

std::vector<Line> SplitLines(std::string_view bytes);

// Blanks and tabs around a name are not part of it.
std::string_view Trim(std::string_view s);

// The key of a "Key=Value" line; the value is everything after the first "=", exactly.
struct KeyLine {
  std::string_view key;
  std::string_view value;
};
std::optional<KeyLine> ParseKeyLine(std::string_view line);

// Where a key stands in the file: the lines of its section (the first section of that name)
// and the line of the key itself (its first occurrence), if any. Names match without regard
// to ASCII letter case.
struct Place {
  std::optional<std::size_t> header;
  std::size_t sectionEnd = 0;  // one past the last line of the section
  std::optional<std::size_t> keyLine;
};
Place Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key);

// The value of a key, as stored; nothing when the section or the key is missing.
std::optional<std::string_view> FindValue(const std::vector<Line>& lines, std::string_view section,
                                          std::string_view key);

// FindValue's answers for every section and key of the lines at once, for a reader that asks
// many times: the first section of each name and the first occurrence of each key in it, names
// matched without regard to ASCII letter case. The values point into the lines, which must
// stay as they are while the index is used.
class ValueIndex {
 public:
  ValueIndex() = default;
  explicit ValueIndex(const std::vector<Line>& lines);

  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

 private:
  // Upper-cased section name -> upper-cased key -> value.
  std::unordered_map<std::string, std::unordered_map<std::string, std::string_view>> sections_;
};

}  // namespace varnow::ini
