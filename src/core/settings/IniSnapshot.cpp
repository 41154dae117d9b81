// SPDX-License-Identifier: MIT
#include "settings/IniSnapshot.h"

#include "text/Cp1251.h"

namespace varnow {

IniSnapshot::IniSnapshot(std::filesystem::path file)
    : file_(std::move(file)),
      lines_(ini::SplitLines(ini::ReadFileBytes(file_).value_or(std::string()))) {}

std::optional<std::string_view> IniSnapshot::Find(std::string_view section,
                                                  std::string_view key) const {
  const std::optional<std::string> sectionBytes = Utf8ToCp1251Exact(section);
  const std::optional<std::string> keyBytes = Utf8ToCp1251Exact(key);
  if (!sectionBytes || !keyBytes) {
    return std::nullopt;  // a name the file cannot hold is in no file
  }
  return ini::FindValue(lines_, *sectionBytes, *keyBytes);
}

std::string IniSnapshot::ReadString(std::string_view section, std::string_view key) const {
  const std::optional<std::string_view> value = Find(section, key);
  return value ? Cp1251ToUtf8(*value) : std::string();
}

bool IniSnapshot::Holds(std::string_view section, std::string_view key) const {
  return Find(section, key).has_value();
}

}  // namespace varnow
