#include "settings/ProfileFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <system_error>
#include <vector>

#include "files/ReplaceFile.h"
#include "settings/SettingsErrors.h"
#include "text/AsciiCase.h"
#include "text/Cp1251.h"
#include "text/Format.h"

namespace varnow {
namespace {

// One line of the file as it stands on disk: its text and its own line end ("\r\n", "\n", or
// nothing for a last line without one), so that rewriting keeps every untouched line intact.
struct Line {
  std::string text;
  std::string end;
};

// The whole file, or nothing when it is missing or cannot be read (a folder, no access).
std::optional<std::string> ReadBytes(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return std::nullopt;
  }
  std::string bytes;
  char block[16384];
  for (;;) {
    const ssize_t n = ::read(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) {
      break;
    }
    bytes.append(block, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return bytes;
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

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) {
    s.remove_prefix(1);
  }
  while (!s.empty() && IsBlank(s.back())) {
    s.remove_suffix(1);
  }
  return s;
}

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

// The key of a "Key=Value" line; the value is everything after the first "=", exactly.
struct KeyLine {
  std::string_view key;
  std::string_view value;
};
std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) {
    return std::nullopt;
  }
  return KeyLine{Trim(line.substr(0, eq)), line.substr(eq + 1)};
}

// Where a key stands in the file: the lines of its section (the first section of that name)
// and the line of the key itself (its first occurrence), if any.
struct Place {
  std::optional<std::size_t> header;
  std::size_t sectionEnd = 0;  // one past the last line of the section
  std::optional<std::size_t> keyLine;
};
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

std::string LineEndOf(std::string_view bytes) {
  const std::size_t nl = bytes.find('\n');
  if (nl != std::string_view::npos && (nl == 0 || bytes[nl - 1] != '\r')) {
    return "\n";
  }
  return "\r\n";  // the format's own line end, also for a new file
}

// Writes go to the file a symbolic link points at, so a linked settings file stays linked.
std::filesystem::path WriteTarget(const std::filesystem::path& file) {
  std::error_code ec;
  if (std::filesystem::is_symlink(file, ec)) {
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(file, ec);
    if (!ec) {
      return resolved;
    }
  }
  return file;
}

std::string ToCp1251(std::string_view text, std::string_view what) {
  std::optional<std::string> bytes = Utf8ToCp1251Exact(text);
  if (!bytes) {
    throw SettingsWriteError(FormatText(
        "Значение \"%s\" нельзя сохранить в файле настроек: в кодировке cp1251 нет некоторых "
        "его символов",
        {what}));
  }
  return std::move(*bytes);
}

}  // namespace

std::string ProfileFile::ReadString(std::string_view section, std::string_view key) const {
  const std::optional<std::string> bytes = ReadBytes(file_);
  const std::optional<std::string> sectionBytes = Utf8ToCp1251Exact(section);
  const std::optional<std::string> keyBytes = Utf8ToCp1251Exact(key);
  if (!bytes || !sectionBytes || !keyBytes) {
    return {};
  }
  const std::vector<Line> lines = SplitLines(*bytes);
  const Place place = Locate(lines, *sectionBytes, *keyBytes);
  if (!place.keyLine) {
    return {};
  }
  return Cp1251ToUtf8(ParseKeyLine(lines[*place.keyLine].text)->value);
}

void ProfileFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) const {
  if (value.find_first_of("\r\n") != std::string_view::npos) {
    throw SettingsWriteError(FormatText(
        "Значение \"%s\" нельзя сохранить в файле настроек: оно занимает больше одной строки",
        {value}));
  }
  const std::string sectionBytes = ToCp1251(section, section);
  const std::string keyBytes = ToCp1251(key, key);
  const std::string valueBytes = ToCp1251(value, value);

  const std::filesystem::path target = WriteTarget(file_);
  const std::string old = ReadBytes(target).value_or(std::string());
  const std::string eol = LineEndOf(old);
  std::vector<Line> lines = SplitLines(old);
  const Place place = Locate(lines, sectionBytes, keyBytes);
  Line entry{keyBytes + "=" + valueBytes, eol};

  if (place.keyLine) {
    lines[*place.keyLine].text = std::move(entry.text);
  } else {
    std::size_t at = place.sectionEnd;
    if (place.header) {
      // A new key goes after the section's last line that is not blank.
      while (at > *place.header + 1 && Trim(lines[at - 1].text).empty()) {
        --at;
      }
    } else {
      lines.push_back({"[" + sectionBytes + "]", eol});
      at = lines.size();
    }
    if (at > 0 && lines[at - 1].end.empty()) {
      lines[at - 1].end = eol;
    }
    if (!place.header && lines.size() >= 2 && lines[lines.size() - 2].end.empty()) {
      lines[lines.size() - 2].end = eol;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
  }

  std::string out;
  out.reserve(old.size() + keyBytes.size() + valueBytes.size() + 8);
  for (const Line& line : lines) {
    out += line.text;
    out += line.end;
  }
  try {
    ReplaceFileContents(target, out);
  } catch (const FileWriteError&) {
    throw SettingsWriteError(FormatText("Unable to write to %s", {file_.string()}));
  }
}

}  // namespace varnow
