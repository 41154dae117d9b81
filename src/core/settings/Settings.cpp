// SPDX-License-Identifier: MIT
#include "settings/Settings.h"

#include "text/ByteSize.h"

#include "settings/IniLines.h"

#include "cleaning/ProcedureTable.h"
#include "settings/SettingsErrors.h"
#include "text/Format.h"

namespace varnow {
namespace {

constexpr std::string_view kFirstKey = "First";
constexpr std::string_view kLastKey = "Last";

}  // namespace

KeyValues MainSectionValues(std::string_view outputFolder,
                            const std::array<bool, kProcedureCount>& switches) {
  KeyValues values{{std::string(kOutputFolderKey), std::string(outputFolder)}};
  for (const ProcedureRow& info : kProcedures) {
    values.emplace_back(std::string(info.key), std::string(SwitchText(switches[Index(info.id)])));
  }
  return values;
}

std::map<std::string, std::string> StoredMainValues(const IniSnapshot& file,
                                                    const KeyValues& keys) {
  std::map<std::string, std::string> stored;
  for (const auto& [key, value] : keys) {
    if (file.Holds(kMainSection, key)) {
      stored[key] = file.ReadString(kMainSection, key);
    }
  }
  return stored;
}

void WriteChangedMainKeys(const IniFile& file, const KeyValues& now,
                          const std::map<std::string, std::string>& known) {
  const std::map<std::string, std::string> stored = StoredMainValues(IniSnapshot(file.Path()), now);
  KeyValues changed;
  for (const auto& [key, value] : now) {
    const auto before = known.find(key);
    if (!stored.contains(key) || before == known.end() || before->second != value) {
      changed.emplace_back(key, value);
    }
  }
  if (!changed.empty()) {
    file.WriteStrings(kMainSection, changed);
  }
}

StoredLogEncoding ReadLogEncoding(const IniSnapshot& file) {
  const std::string name = file.ReadString(kMainSection, kLogEncodingKey);
  return {LogEncodingNamed(name).value_or(LogEncoding::kCp1251), !name.empty()};
}

std::optional<Language> ReadLanguage(const IniSnapshot& file, std::string_view key) {
  return LanguageNamed(file.ReadString(kMainSection, key));
}

StoredMaxPageSize ReadMaxPageSize(const IniSnapshot& file, Language language) {
  const std::string text = file.ReadString(kMainSection, kMaxPageSizeKey);
  if (text.empty()) {
    return {};
  }
  const std::optional<std::uint64_t> bytes = ParseByteSize(text);
  if (!bytes || *bytes == 0) {
    constexpr Texts kNoSize{"MaxPageSize в разделе [Main] не размер страницы: \"%s\" (%s)",
                            "MaxPageSize in section [Main] is no page size: \"%s\" (%s)"};
    return {std::nullopt, FormatText(kNoSize.In(language), {text, file.Path().string()})};
  }
  return {bytes, std::nullopt};
}

void WriteLogEncoding(const IniFile& file, LogEncoding encoding) {
  file.WriteString(kMainSection, kLogEncodingKey, LogEncodingName(encoding));
}

MainSection ReadMainSection(const IniSnapshot& file, Language language) {
  MainSection main;
  main.outputFolder = file.ReadString(kMainSection, kOutputFolderKey);
  for (const ProcedureRow& info : kProcedures) {
    if (info.whenKeyMissing == WhenKeyMissing::kOff && !file.Holds(kMainSection, info.key)) {
      ++main.switchesRead;  // off, as a file from before the procedure was made says
      continue;
    }
    try {
      main.switches[Index(info.id)] = ParseSwitch(file.ReadString(kMainSection, info.key));
    } catch (const ConversionError& e) {
      main.error = e.Shown(language);
      break;
    }
    ++main.switchesRead;
  }
  return main;
}

void WriteMainSection(const IniFile& file, std::string_view outputFolder,
                      const std::array<bool, kProcedureCount>& switches) {
  file.WriteStrings(kMainSection, MainSectionValues(outputFolder, switches));
}

std::string BannerSection(int slot) {
  return FormatText("Banner%d", {std::int64_t{slot}});
}

BannerPair ReadBanner(const IniSnapshot& file, int slot) {
  const std::string section = BannerSection(slot);
  return {file.ReadString(section, kFirstKey), file.ReadString(section, kLastKey)};
}

std::pair<std::string, std::string> ReadBannerMarkers(CachedIniFile& file, int slot) {
  file.Refresh();
  return ReadBannerMarkersAsRead(file, slot);
}

std::pair<std::string, std::string> ReadBannerMarkersAsRead(const CachedIniFile& file, int slot) {
  const std::string section = BannerSection(slot);
  const auto marker = [&](std::string_view key) {
    const std::string_view value = file.Value(section, key);
    return std::string(value.substr(0, value.find('\0')));
  };
  return {marker(kFirstKey), marker(kLastKey)};
}

void WriteBanner(const IniFile& file, int slot, const BannerPair& pair) {
  const std::string section = BannerSection(slot);
  file.WriteStrings(section,
                    {{std::string(kFirstKey), pair.first}, {std::string(kLastKey), pair.last}});
}

}  // namespace varnow
