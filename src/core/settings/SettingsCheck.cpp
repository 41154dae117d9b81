// SPDX-License-Identifier: MIT
#include "settings/SettingsCheck.h"

#include <cstring>

#include "cleaning/ProcedureTable.h"
#include "files/KeptFilePlace.h"
#include "settings/IniLines.h"
#include "settings/Settings.h"
#include "settings/SettingsErrors.h"
#include "text/Cp1251.h"
#include "text/Format.h"

namespace varnow {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// A value as the message shows it: cp1251 read as text, a NUL made visible.
std::string Shown(std::string_view bytes) {
  std::string text;
  for (const char c : Cp1251ToUtf8(bytes)) {
    text += c == '\0' ? std::string("\\0") : std::string(1, c);
  }
  return text;
}

}  // namespace

std::optional<std::string> CheckSettingsFile(const std::filesystem::path& file,
                                             bool switchesNeeded) {
  using Problem = ini::FileRead::Problem;
  const std::string path = file.string();
  const KeptFilePlace place = LookAtKeptFile(file);
  if (place.kind == KeptFilePlace::Kind::kDanglingLink) {
    return KeptFileProblem(place, file, "Файл настроек");
  }
  const ini::FileRead read = ini::ReadFile(file);
  switch (read.problem) {
    case Problem::kNone:
      break;
    case Problem::kOpen:
      if (read.failure.cause == FailureCause::kNotFound) {
        return FormatText("Файл настроек не найден: %s", {path});
      }
      return FormatText("Файл настроек не открывается: %s: %s", {path, CauseWords(read.failure)});
    case Problem::kNotRegular:
      return FormatText("Файл настроек не является обычным файлом: %s", {path});
    case Problem::kTooLarge:
      return FormatText("Файл настроек больше 1 МБ (%d байт): %s",
                        {static_cast<std::int64_t>(read.size), path});
    case Problem::kRead:
      return FormatText("Файл настроек не читается: %s: %s", {path, CauseWords(read.failure)});
  }
  const std::string& bytes = *read.bytes;
  if (!switchesNeeded) {
    return std::nullopt;
  }
  if (bytes.starts_with(kUtf8Mark)) {
    return FormatText(
        "Файл настроек начинается с метки UTF-8 (BOM), а должен быть в кодировке cp1251 без "
        "нее: %s",
        {path});
  }
  const std::vector<ini::Line> lines = ini::SplitLines(bytes);
  if (!ini::Locate(lines, kMainSection, "").header) {
    return FormatText("В файле настроек нет раздела [Main]: %s", {path});
  }
  for (const ProcedureRow& info : kProcedures) {
    const std::optional<std::string_view> value = ini::FindValue(lines, kMainSection, info.key);
    if (!value && info.whenKeyMissing == WhenKeyMissing::kOff) {
      continue;
    }
    if (!value) {
      return FormatText("В разделе [Main] файла настроек нет ключа %s: %s", {info.key, path});
    }
    try {
      ParseSwitch(Cp1251ToUtf8(*value));
    } catch (const ConversionError&) {
      return FormatText(
          "Значение «%s» ключа %s в разделе [Main] не является ни 0, ни -1 (выключено, "
          "включено): %s",
          {Shown(*value), info.key, path});
    }
  }
  return std::nullopt;
}

}  // namespace varnow
