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

std::optional<std::string> CheckSettingsFile(const std::filesystem::path& file, bool switchesNeeded,
                                             Language language) {
  const auto say = [language](const Texts& format, std::initializer_list<FormatArg> values) {
    return FormatText(format.In(language), values);
  };
  using Problem = ini::FileRead::Problem;
  const std::string path = file.string();
  const KeptFilePlace place = LookAtKeptFile(file);
  if (place.kind == KeptFilePlace::Kind::kDanglingLink) {
    return KeptFileProblem(place, file, kSettingsFileWord)->Shown(language);
  }
  const ini::FileRead read = ini::ReadFile(file);
  switch (read.problem) {
    case Problem::kNone:
      break;
    case Problem::kOpen:
      if (read.failure.cause == FailureCause::kNotFound) {
        return say({"Файл настроек не найден: %s", "Settings file not found: %s"}, {path});
      }
      return say(
          {"Файл настроек не открывается: %s: %s", "The settings file does not open: %s: %s"},
          {path, CauseWords(read.failure, language)});
    case Problem::kNotRegular:
      return say({"Файл настроек не является обычным файлом: %s",
                  "The settings file is no regular file: %s"},
                 {path});
    case Problem::kTooLarge:
      return say({"Файл настроек больше 1 МБ (%d байт): %s",
                  "The settings file is larger than 1 MB (%d bytes): %s"},
                 {static_cast<std::int64_t>(read.size), path});
    case Problem::kRead:
      return say({"Файл настроек не читается: %s: %s", "The settings file cannot be read: %s: %s"},
                 {path, CauseWords(read.failure, language)});
  }
  const std::string& bytes = *read.bytes;
  if (!switchesNeeded) {
    return std::nullopt;
  }
  if (bytes.starts_with(kUtf8Mark)) {
    return say({"Файл настроек начинается с метки UTF-8 (BOM), а должен быть в кодировке cp1251 "
                "без нее: %s",
                "The settings file begins with a UTF-8 mark (BOM), but must be in code page "
                "cp1251 without it: %s"},
               {path});
  }
  const std::vector<ini::Line> lines = ini::SplitLines(bytes);
  if (!ini::Locate(lines, kMainSection, "").header) {
    return say(
        {"В файле настроек нет раздела [Main]: %s", "The settings file has no section [Main]: %s"},
        {path});
  }
  for (const ProcedureRow& info : kProcedures) {
    const std::optional<std::string_view> value = ini::FindValue(lines, kMainSection, info.key);
    if (!value && info.whenKeyMissing == WhenKeyMissing::kOff) {
      continue;
    }
    if (!value) {
      return say({"В разделе [Main] файла настроек нет ключа %s: %s",
                  "Section [Main] of the settings file has no key %s: %s"},
                 {info.key, path});
    }
    try {
      ParseSwitch(Cp1251ToUtf8(*value));
    } catch (const ConversionError&) {
      return say({"Значение «%s» ключа %s в разделе [Main] не является ни 0, ни -1 (выключено, "
                  "включено): %s",
                  "The value “%s” of key %s in section [Main] is neither 0 nor -1 (off, on): %s"},
                 {Shown(*value), info.key, path});
    }
  }
  return std::nullopt;
}

}  // namespace varnow
