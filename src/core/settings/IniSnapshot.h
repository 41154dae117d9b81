// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/IniLines.h"

namespace varnow {

// A settings file as one read found it, for a reader that asks for several keys: every answer
// comes from the same version of the file, so a save by another program between two questions
// cannot give a mix of its old and new values. A missing or unreadable file reads as empty.
// Names and values cross this interface as UTF-8 text, as IniFile's do.
class IniSnapshot {
 public:
  explicit IniSnapshot(std::filesystem::path file);

  const std::filesystem::path& Path() const { return file_; }

  // The value exactly as written, or "" when the file, the section or the key is missing.
  std::string ReadString(std::string_view section, std::string_view key) const;
  // Whether the section holds the key at all (an empty value counts).
  bool Holds(std::string_view section, std::string_view key) const;

 private:
  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

  std::filesystem::path file_;
  std::vector<ini::Line> lines_;
};

}  // namespace varnow
