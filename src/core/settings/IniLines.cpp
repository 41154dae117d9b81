// SPDX-License-Identifier: MIT
#include "settings/IniLines.h"

#include "platform/FileFacts.h"
#include "platform/PathSyntax.h"
#include "text/AsciiCase.h"

namespace varnow::ini {

FileRead ReadFile(const std::filesystem::path& file) {
  FileRead result;
  ReadOnlyFile in;
  bool notRegular = false;
  if (Failed failed = in.Open(PathText(file), &notRegular)) {
    result.problem = notRegular ? FileRead::Problem::kNotRegular : FileRead::Problem::kOpen;
    if (!notRegular) {
      result.failure = std::move(*failed);
    }
    return result;
  }
  if (in.Facts().size > kMaxFileBytes) {
    result.problem = FileRead::Problem::kTooLarge;
    result.size = in.Facts().size;
    return result;
  }
  std::string bytes;
  char block[16384];
  while (result.problem == FileRead::Problem::kNone) {
    std::size_t got = 0;
    if (Failed failed = in.Read(block, sizeof block, got)) {
      result.problem = FileRead::Problem::kRead;
      result.failure = std::move(*failed);
    } else if (got == 0) {
      result.bytes = std::move(bytes);
      break;
    } else if (bytes.size() + got > kMaxFileBytes) {
      result.problem = FileRead::Problem::kTooLarge;  // it grew while it was read
      result.size = bytes.size() + got;
    } else {
      bytes.append(block, got);
    }
  }
  return result;
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& file) {
  return ReadFile(file).bytes;
}

std::vector<Line> SplitLines(std::string_view bytes) {
  std::vector<Line> lines;
  while (!bytes.empty()) {
    const std::size_t nl = bytes.find('\n');
    std::string_view text = nl == std::string_view::npos ? bytes : bytes.substr(0, nl);
    const bool ended = nl != std::string_view::npos;
    const bool crlf = ended && !text.empty() && text.back() == '\r';
    if (crlf) {
      text.remove_suffix(1);
    }
    lines.push_back({std::string(text), crlf ? "\r\n" : ended ? "\n" : ""});
    bytes.remove_prefix(nl == std::string_view::npos ? bytes.size() : nl + 1);
  }
  return lines;
}

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) {
    s.remove_prefix(1);
  }
  while (!s.empty() && IsBlank(s.back())) {
    s.remove_suffix(1);
  }
  return s;
}

namespace {

bool SameName(std::string_view a, std::string_view b) {
  return AsciiUpper(a) == AsciiUpper(b);
}

// The name of the section a "[Name]" line opens, blanks around it dropped.
std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view t = Trim(line);
  if (t.empty() || t.front() != '[') {
    return std::nullopt;
  }
  std::string_view name = t.substr(1);
  name = name.substr(0, name.find(']'));
  return Trim(name);
}

}  // namespace

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) {
    return std::nullopt;
  }
  return KeyLine{Trim(line.substr(0, eq)), line.substr(eq + 1)};
}

Place Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  Place place;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::optional<std::string_view> name = SectionName(lines[i].text);
    if (place.header) {
      if (name) {
        place.sectionEnd = i;
        return place;
      }
      if (!place.keyLine) {
        const std::optional<KeyLine> kv = ParseKeyLine(lines[i].text);
        if (kv && SameName(kv->key, key)) {
          place.keyLine = i;
        }
      }
    } else if (name && SameName(*name, section)) {
      place.header = i;
    }
  }
  place.sectionEnd = lines.size();
  return place;
}

std::optional<std::string_view> FindValue(const std::vector<Line>& lines, std::string_view section,
                                          std::string_view key) {
  const Place place = Locate(lines, section, key);
  if (!place.keyLine) {
    return std::nullopt;
  }
  return ParseKeyLine(lines[*place.keyLine].text)->value;
}

ValueIndex::ValueIndex(const std::vector<Line>& lines) {
  // Null while the lines belong to no section, or to a later section of a name seen before.
  std::unordered_map<std::string, std::string_view>* section = nullptr;
  for (const Line& line : lines) {
    if (const std::optional<std::string_view> name = SectionName(line.text)) {
      const auto [at, isNew] = sections_.try_emplace(AsciiUpper(*name));
      section = isNew ? &at->second : nullptr;
    } else if (section != nullptr) {
      if (const std::optional<KeyLine> kv = ParseKeyLine(line.text)) {
        section->try_emplace(AsciiUpper(kv->key), kv->value);
      }
    }
  }
}

std::optional<std::string_view> ValueIndex::Find(std::string_view section,
                                                 std::string_view key) const {
  const auto found = sections_.find(AsciiUpper(section));
  if (found == sections_.end()) {
    return std::nullopt;
  }
  const auto value = found->second.find(AsciiUpper(key));
  if (value == found->second.end()) {
    return std::nullopt;
  }
  return value->second;
}

}  // namespace varnow::ini
