// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "cleaning/ProcedureId.h"
#include "messages/Language.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "text/LogEncoding.h"

namespace varnow {

// What section "Main" of the settings file says for a run: the output folder, the switches, the
// encoding and language of log.txt, the interface's language.
struct MainSettings {
  std::string outputFolder;
  std::array<bool, kProcedureCount> switches{};  // indexed by Index(ProcedureId)
  LogEncoding logEncoding = LogEncoding::kCp1251;
  Language logLanguage = Language::kRussian;
  std::optional<Language> language;          // the interface's, where the user chose one
  std::optional<std::uint64_t> maxPageSize;  // MaxPageSize, where the file sets it
};

// What the command line gives in the place of the file's settings.
struct SettingsOverrides {
  std::optional<std::array<bool, kProcedureCount>> switches;  // --only
  std::optional<std::string> outputFolder;                    // --output
  std::optional<LogEncoding> logEncoding;                     // --log-encoding
  std::optional<std::uint64_t> maxPageSize;                   // --max-page-size
  std::optional<Language> logLanguage;                        // --log-language
};

// The cleaning's settings as both programs keep them: which file, what it holds, what the
// command line puts in its place, and, for a window, writing back only what the window changed,
// so that two windows never undo each other's saved settings. The rules live here once; the
// command line and the settings dialog only show what it says.
class SettingsModel {
 public:
  // `named`: the user named the file (varnow-cli --settings); otherwise it is the program's own,
  // which is missing at a first start. `language`: the one its problems are told in.
  SettingsModel(std::filesystem::path file, bool named, Language language = Language::kRussian);

  // The interface's language the file names ("Language"), read before anything is checked:
  // the problems are then told in it.
  std::optional<Language> ChosenLanguage() const {
    return ReadLanguage(IniSnapshot(File()), kLanguageKey);
  }
  void TellProblemsIn(Language language) { language_ = language; }

  const std::filesystem::path& File() const { return file_.Path(); }

  // What a read gave: the settings, and what is wrong with the file, if anything.
  struct Read {
    MainSettings settings;
    std::optional<std::string> problem;
  };

  // What a run uses: the file's settings with `overrides` in the place of what they give. A
  // file the user named is always read and checked; the program's own unless it is missing, or
  // the overrides give both the switches and the output folder (the switches are checked only
  // where --only does not replace them). A problem means the run must not start.
  Read ForRun(const SettingsOverrides& overrides) const;

  // What a window shows and edits. A missing file is a first start: every switch off, no
  // output folder, nothing to report. Otherwise what was read stands up to the problem (the
  // output folder always), and what the file held, key by key, is kept for Write.
  Read ForEditing();

  // Writes `settings` as section "Main". With `onlyChanged` and a file that exists, only the
  // keys whose value differs from what this model last read or wrote, or that the file lacks;
  // "LogEncoding" and "LogLanguage" only where the file named them or they are not the default,
  // "Language" only once the user chose one. Throws
  // SettingsWriteError (the file and the cause), and leaves the file as it was.
  void Write(const MainSettings& settings, bool onlyChanged);

 private:
  IniFile file_;
  bool named_;
  Language language_;
  std::map<std::string, std::string> known_;  // what the file held, or was last written
  bool logEncodingStored_ = false;            // the file names the log's encoding
  bool logLanguageStored_ = false;            // the file names the log's language
};

}  // namespace varnow
