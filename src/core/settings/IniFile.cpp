// SPDX-License-Identifier: MIT
#include "settings/IniFile.h"

#include <cerrno>
#include <optional>
#include <system_error>
#include <vector>

#include "files/KeptFilePlace.h"
#include "files/ReplaceFile.h"
#include "settings/IniLines.h"
#include "settings/IniSnapshot.h"
#include "settings/SettingsErrors.h"
#include "text/Cp1251.h"
#include "text/Format.h"

namespace varnow {
namespace {

using ini::Line;
using ini::Locate;
using ini::Place;
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

// The file's text with one key set: replaced where the section holds it, else added after the
// section's last line that is not blank, the section begun at the end where the file lacks it.
// Each key of a multi-key write goes through here in turn, so that the file comes out as the
// same keys written one by one would leave it.
std::string WithValue(std::string_view old, const std::string& sectionBytes,
                      const std::string& keyBytes, const std::string& valueBytes) {
  const std::string eol = LineEndOf(old);
  std::vector<Line> lines = SplitLines(old);
  const Place place = Locate(lines, sectionBytes, keyBytes);
  Line entry{keyBytes + "=" + valueBytes, eol};

  if (place.keyLine) {
    lines[*place.keyLine].text = std::move(entry.text);
  } else {
    std::size_t at = place.sectionEnd;
    if (place.header) {
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
  return out;
}

}  // namespace

std::string IniFile::ReadString(std::string_view section, std::string_view key) const {
  return IniSnapshot(file_).ReadString(section, key);
}

void IniFile::WriteString(std::string_view section, std::string_view key,
                          std::string_view value) const {
  WriteStrings(section, {{std::string(key), std::string(value)}});
}

void IniFile::WriteStrings(std::string_view section, const Entries& entries) const {
  // Every value is checked before the file is looked at, so that a refused one writes nothing.
  Entries bytes;  // the keys and values as the file holds them (cp1251)
  for (const auto& [key, value] : entries) {
    if (value.find_first_of("\r\n") != std::string_view::npos) {
      throw SettingsWriteError(MakeError(ErrorId::kValueMultiLine, {value}));
    }
    bytes.emplace_back(ToCp1251(key, key), ToCp1251(value, value));
  }
  const std::string sectionBytes = ToCp1251(section, section);

  // Writes go to the file a symbolic link points at, so a linked settings file stays linked;
  // a dangling link or a device, FIFO or folder at the place is never replaced.
  const KeptFilePlace kept = LookAtKeptFile(file_);
  if (std::optional<ErrorText> problem = KeptFileProblem(kept, file_, kSettingsFileWord)) {
    throw SettingsWriteError(std::move(*problem));
  }
  const std::filesystem::path& target = kept.target;
  // A missing file is begun anew; one that exists but cannot be read (no access, not a regular
  // file, too large) is never replaced by a file that would hold these keys alone.
  ini::FileRead read = ini::ReadFile(target);
  if (read.problem != ini::FileRead::Problem::kNone &&
      !(read.problem == ini::FileRead::Problem::kOpen &&
        read.failure.cause == FailureCause::kNotFound)) {
    throw SettingsWriteError(MakeError(ErrorId::kSettingsNotWritten, {file_.string()}));
  }
  std::string text = read.bytes.value_or(std::string());
  for (const auto& [keyBytes, valueBytes] : bytes) {
    text = WithValue(text, sectionBytes, keyBytes, valueBytes);
  }
  try {
    ReplaceFileContents(target, text);
  } catch (const FileWriteError&) {
    throw SettingsWriteError(MakeError(ErrorId::kSettingsNotWritten, {file_.string()}));
  }
}

}  // namespace varnow
