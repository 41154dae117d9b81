// SPDX-License-Identifier: MIT
#include "settings/SettingsModel.h"

#include <system_error>

#include "cleaning/ProcedureTable.h"
#include "settings/Settings.h"
#include "settings/SettingsCheck.h"

namespace varnow {

SettingsModel::SettingsModel(std::filesystem::path file, bool named, Language language)
    : file_(std::move(file)), named_(named), language_(language) {}

SettingsModel::Read SettingsModel::ForRun(const SettingsOverrides& overrides) const {
  Read read;
  const bool replacedWhole = overrides.switches && overrides.outputFolder;
  std::error_code ec;
  const bool exists = std::filesystem::exists(File(), ec);
  // A file the user named is read, whatever else the command line gives: one that cannot be
  // read is an error, never banner slots silently empty. The program's own file that cannot
  // even be looked for (a link loop, a folder that cannot be searched) is no first start
  // either, unless the command line gives everything it would: the check says why.
  const bool needed = named_;
  const bool unreachable = ec && !replacedWhole;
  if (exists || needed || unreachable) {
    read.problem = CheckSettingsFile(File(), !overrides.switches.has_value(), language_);
    if (read.problem) {
      return read;
    }
    const IniSnapshot file(File());
    const MainSection main = ReadMainSection(file, language_);
    if (main.error && !overrides.switches) {  // changed since the check
      read.problem = *main.error + " (" + File().string() + ")";
      return read;
    }
    read.settings.outputFolder = main.outputFolder;
    read.settings.switches = main.switches;
    read.settings.logEncoding = ReadLogEncoding(file).encoding;
    read.settings.logLanguage = ReadLanguage(file, kLogLanguageKey).value_or(Language::kRussian);
    if (!overrides.maxPageSize) {
      const StoredMaxPageSize limit = ReadMaxPageSize(file, language_);
      if (limit.problem) {
        read.problem = limit.problem;
        return read;
      }
      read.settings.maxPageSize = limit.bytes;
    }
  }
  if (overrides.switches) {
    read.settings.switches = *overrides.switches;
  }
  if (overrides.outputFolder) {
    read.settings.outputFolder = *overrides.outputFolder;
  }
  if (overrides.logEncoding) {
    read.settings.logEncoding = *overrides.logEncoding;
  }
  if (overrides.logLanguage) {
    read.settings.logLanguage = *overrides.logLanguage;
  }
  if (overrides.maxPageSize) {
    read.settings.maxPageSize = overrides.maxPageSize;
  }
  return read;
}

SettingsModel::Read SettingsModel::ForEditing() {
  Read read;
  std::error_code error;
  if (!std::filesystem::exists(File(), error)) {
    // First start: nothing to read and nothing to complain about; OK or the program's end
    // writes the file. A file that cannot even be looked for, or a link that leads nowhere, is
    // no first start: the user is told why.
    if (error || std::filesystem::is_symlink(File(), error)) {
      read.problem = CheckSettingsFile(File(), false, language_).value_or(error.message());
    }
    return read;
  }
  try {
    const IniSnapshot file(File());
    const MainSection main = ReadMainSection(file, language_);
    // The folder stands even when a switch failed to read, so that what a window shows is
    // what the next run uses and what OK stores.
    read.settings.outputFolder = main.outputFolder;
    read.settings.switches = main.switches;
    KeyValues keys = MainSectionValues({}, {});
    for (const std::string_view key : {kLogEncodingKey, kLogLanguageKey, kLanguageKey}) {
      keys.emplace_back(std::string(key), std::string());
    }
    known_ = StoredMainValues(file, keys);
    const StoredLogEncoding stored = ReadLogEncoding(file);
    read.settings.logEncoding = stored.encoding;
    logEncodingStored_ = stored.stored;
    const std::optional<Language> logLanguage = ReadLanguage(file, kLogLanguageKey);
    read.settings.logLanguage = logLanguage.value_or(Language::kRussian);
    logLanguageStored_ = logLanguage.has_value();
    read.settings.language = ReadLanguage(file, kLanguageKey);
    // Shown to no dialog and never written: a size that is no size is the run's to report.
    read.settings.maxPageSize = ReadMaxPageSize(file, language_).bytes;
    read.problem = main.error;
  } catch (const std::exception& e) {
    read.problem = e.what();
  }
  return read;
}

void SettingsModel::Write(const MainSettings& settings, bool onlyChanged) {
  KeyValues now = MainSectionValues(settings.outputFolder, settings.switches);
  // A file that never named the log's encoding keeps not naming it while it is the default.
  const bool withEncoding = logEncodingStored_ || settings.logEncoding != LogEncoding::kCp1251;
  if (withEncoding) {
    now.emplace_back(std::string(kLogEncodingKey),
                     std::string(LogEncodingName(settings.logEncoding)));
  }
  const bool withLogLanguage = logLanguageStored_ || settings.logLanguage != Language::kRussian;
  if (withLogLanguage) {
    now.emplace_back(std::string(kLogLanguageKey), std::string(LanguageCode(settings.logLanguage)));
  }
  if (settings.language) {
    now.emplace_back(std::string(kLanguageKey), std::string(LanguageCode(*settings.language)));
  }
  std::error_code ec;
  if (onlyChanged && std::filesystem::exists(File(), ec)) {
    // Another window may have saved since this one read the file: only what this one changed
    // is written, so that it never undoes the other's change.
    WriteChangedMainKeys(file_, now, known_);
  } else {
    file_.WriteStrings(kMainSection, now);
  }
  logEncodingStored_ = withEncoding;
  logLanguageStored_ = withLogLanguage;
  known_ = {now.begin(), now.end()};
}

}  // namespace varnow
