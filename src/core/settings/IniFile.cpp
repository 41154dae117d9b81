// SPDX-License-Identifier: MIT
#include "settings/IniFile.h"

#include <cerrno>
#include <optional>
#include <system_error>
#include <vector>

#include "files/KeptFilePlace.h"
#include "files/ReplaceFile.h"
#include "settings/IniLines.h"
#include "settings/SettingsErrors.h"
#include "text/Cp1251.h"
#include "text/Format.h"

namespace varnow {
namespace {

using ini::Line;
using ini::Locate;
using ini::Place;
using ini::ReadFileBytes;
using ini::SplitLines;
using ini::Trim;

std::string LineEndOf(std::string_view bytes) {
  const std::size_t nl = bytes.find('\n');
  if (nl != std::string_view::npos && (nl == 0 || bytes[nl - 1] != '\r')) {
    return "\n";
  }
  return "\r\n";  // the format's own line end, also for a new file
}

// The end given to a last line that had none. A line whose text ends in CR would lose that CR
// to a new LF ("x\r" + "\n" reads as "x"), so it gets CR LF: "x\r\r\n" still reads as "x\r".
std::string EndFor(const Line& line, const std::string& eol) {
  return !line.text.empty() && line.text.back() == '\r' ? "\r\n" : eol;
}

std::string ToCp1251(std::string_view text, std::string_view what) {
  std::optional<std::string> bytes = Utf8ToCp1251Exact(text);
  if (!bytes) {
    throw SettingsWriteError(MakeError(ErrorId::kValueNotCp1251, {what}));
  }
  return std::move(*bytes);
}

}  // namespace

std::string IniFile::ReadString(std::string_view section, std::string_view key) const {
  const std::optional<std::string> bytes = ReadFileBytes(file_);
  const std::optional<std::string> sectionBytes = Utf8ToCp1251Exact(section);
  const std::optional<std::string> keyBytes = Utf8ToCp1251Exact(key);
  if (!bytes || !sectionBytes || !keyBytes) {
    return {};
  }
  const std::vector<Line> lines = SplitLines(*bytes);
  const std::optional<std::string_view> value = ini::FindValue(lines, *sectionBytes, *keyBytes);
  return value ? Cp1251ToUtf8(*value) : std::string();
}

void IniFile::WriteString(std::string_view section, std::string_view key,
                          std::string_view value) const {
  if (value.find_first_of("\r\n") != std::string_view::npos) {
    throw SettingsWriteError(MakeError(ErrorId::kValueMultiLine, {value}));
  }
  const std::string sectionBytes = ToCp1251(section, section);
  const std::string keyBytes = ToCp1251(key, key);
  const std::string valueBytes = ToCp1251(value, value);

  // Writes go to the file a symbolic link points at, so a linked settings file stays linked;
  // a dangling link or a device, FIFO or folder at the place is never replaced.
  const KeptFilePlace kept = LookAtKeptFile(file_);
  if (std::optional<ErrorText> problem = KeptFileProblem(kept, file_, kSettingsFileWord)) {
    throw SettingsWriteError(std::move(*problem));
  }
  const std::filesystem::path& target = kept.target;
  // A missing file is begun anew; one that exists but cannot be read (no access, not a regular
  // file, too large) is never replaced by a file that would hold this key alone.
  ini::FileRead read = ini::ReadFile(target);
  if (read.problem != ini::FileRead::Problem::kNone &&
      !(read.problem == ini::FileRead::Problem::kOpen &&
        read.failure.cause == FailureCause::kNotFound)) {
    throw SettingsWriteError(MakeError(ErrorId::kSettingsNotWritten, {file_.string()}));
  }
  const std::string old = read.bytes.value_or(std::string());
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
      lines[at - 1].end = EndFor(lines[at - 1], eol);
    }
    if (!place.header && lines.size() >= 2 && lines[lines.size() - 2].end.empty()) {
      lines[lines.size() - 2].end = EndFor(lines[lines.size() - 2], eol);
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
    throw SettingsWriteError(MakeError(ErrorId::kSettingsNotWritten, {file_.string()}));
  }
}

}  // namespace varnow
