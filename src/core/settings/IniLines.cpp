// SPDX-License-Identifier: MIT
#include "settings/IniLines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "text/AsciiCase.h"

namespace varnow::ini {

FileRead ReadFile(const std::filesystem::path& file) {
  FileRead result;
  // Not blocking: a FIFO at the path must not hang the program in the open.
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    result.problem = FileRead::Problem::kOpen;
    result.failure = FailureOf(errno);
    return result;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    result.problem = FileRead::Problem::kRead;
    result.failure = FailureOf(errno);
  } else if (!S_ISREG(st.st_mode)) {
    result.problem = FileRead::Problem::kNotRegular;
  } else if (st.st_size > static_cast<off_t>(kMaxFileBytes)) {
    result.problem = FileRead::Problem::kTooLarge;
    result.size = static_cast<std::uint64_t>(st.st_size);
  }
  std::string bytes;
  char block[16384];
  while (result.problem == FileRead::Problem::kNone) {
    const ssize_t n = ::read(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      result.problem = FileRead::Problem::kRead;
      result.failure = FailureOf(errno);
    } else if (n == 0) {
      result.bytes = std::move(bytes);
      break;
    } else if (bytes.size() + static_cast<std::size_t>(n) > kMaxFileBytes) {
      result.problem = FileRead::Problem::kTooLarge;  // it grew while it was read
      result.size = bytes.size() + static_cast<std::size_t>(n);
    } else {
      bytes.append(block, static_cast<std::size_t>(n));
    }
  }
  ::close(fd);
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

}  // namespace varnow::ini
