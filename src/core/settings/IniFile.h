// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "messages/Language.h"

namespace varnow {

// How the settings file is named at the start of a message about it.
inline constexpr Texts kSettingsFileWord{"Файл настроек", "The settings file"};

// One settings file in the profile-string (INI) format: "[Section]" lines open sections,
// "Key=Value" lines give values. Sections and keys match without regard to ASCII letter case.
// Nothing is held open or cached: every read goes to the disk, every write rewrites the file
// through a temporary file renamed into place, keeping every other line as it was.
// The file is code page 1251; values cross this interface as UTF-8 text.
class IniFile {
 public:
  explicit IniFile(std::filesystem::path file) : file_(std::move(file)) {}

  const std::filesystem::path& Path() const { return file_; }

  // The value exactly as written, or "" when the file, the section or the key is missing.
  std::string ReadString(std::string_view section, std::string_view key) const;

  // Creates the file, the section and the key as needed, or replaces the key's value.
  // Throws SettingsWriteError "Unable to write to <path>" when the file cannot be written or
  // exists but cannot be read whole (it is then left as it is),
  // and a SettingsWriteError of its own when the value cannot be held in cp1251.
  void WriteString(std::string_view section, std::string_view key, std::string_view value) const;

  // Sets several keys of one section, in the order given, with one rewrite of the file: a
  // reader sees all of them or none, and a failure leaves the file as it was. Throws as
  // WriteString, before anything is written.
  using Entries = std::vector<std::pair<std::string, std::string>>;
  void WriteStrings(std::string_view section, const Entries& entries) const;

 private:
  std::filesystem::path file_;
};

}  // namespace varnow
