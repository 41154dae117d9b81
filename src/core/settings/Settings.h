// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cleaning/ProcedureId.h"
#include "messages/Language.h"
#include "settings/CachedIniFile.h"
#include "settings/IniFile.h"
#include "settings/IniSnapshot.h"
#include "settings/Switches.h"
#include "text/LogEncoding.h"

namespace varnow {

inline constexpr std::string_view kMainSection = "Main";
inline constexpr std::string_view kOutputFolderKey = "StorePatch";
inline constexpr std::string_view kLogEncodingKey = "LogEncoding";

// What reading section "Main" gave. Reading stops at the first switch that does not convert:
// that switch and every later one stay unset (false), and `error` holds the message.
struct MainSection {
  std::string outputFolder;
  std::array<bool, kProcedureCount> switches{};  // indexed by Index(ProcedureId)
  std::size_t switchesRead = 0;                  // in file order, before the first failure
  std::optional<std::string> error;              // "'%s' is not a valid boolean value"
};
MainSection ReadMainSection(const IniSnapshot& file, Language language = Language::kRussian);

// Writes "StorePatch" and then the twelve switches in file order, in one rewrite of the file.
// Throws SettingsWriteError when any key cannot be written; the file is then as it was.
void WriteMainSection(const IniFile& file, std::string_view outputFolder,
                      const std::array<bool, kProcedureCount>& switches);

// The keys of "Main" with the values the program writes for them, in the file's order.
using KeyValues = IniFile::Entries;
KeyValues MainSectionValues(std::string_view outputFolder,
                            const std::array<bool, kProcedureCount>& switches);
// Each key of section "Main" as the file holds it now (UTF-8), for the keys it holds.
std::map<std::string, std::string> StoredMainValues(const IniSnapshot& file, const KeyValues& keys);
// Writes to section "Main" only the keys of `now` whose value differs from `known` (what this
// program last read or wrote there) or that the file lacks, so that a key another program
// saved meanwhile, and this one left alone, keeps that program's value. One rewrite for all of
// them; throws as WriteStrings.
void WriteChangedMainKeys(const IniFile& file, const KeyValues& now,
                          const std::map<std::string, std::string>& known);

// "LogEncoding" of "Main": "cp1251" (also when the key is missing or names nothing known) or
// "utf-8"; `stored` says whether the file holds the key at all.
struct StoredLogEncoding {
  LogEncoding encoding = LogEncoding::kCp1251;
  bool stored = false;
};
StoredLogEncoding ReadLogEncoding(const IniSnapshot& file);
void WriteLogEncoding(const IniFile& file, LogEncoding encoding);

// "Language" of "Main" (the interface's) and "LogLanguage" (log.txt's lines): "ru" or "en",
// where the user chose one; nothing where the file holds no such key or an unknown code. The
// interface then follows the locale and log.txt stays Russian.
inline constexpr std::string_view kLanguageKey = "Language";
inline constexpr std::string_view kLogLanguageKey = "LogLanguage";
std::optional<Language> ReadLanguage(const IniSnapshot& file, std::string_view key);

// "MaxPageSize" of "Main": the size of the largest page a run cleans, in bytes (K, M, G or T
// allowed), in place of the limit worked out from the memory a run may use. The program never
// writes it; a user sets it by hand.
inline constexpr std::string_view kMaxPageSizeKey = "MaxPageSize";
struct StoredMaxPageSize {
  std::optional<std::uint64_t> bytes;  // where the file gives a size
  std::optional<std::string> problem;  // where it gives something else
};
StoredMaxPageSize ReadMaxPageSize(const IniSnapshot& file, Language language = Language::kRussian);

// Banner slot i is section "Banner<i>", keys "First" and "Last".
std::string BannerSection(int slot);
struct BannerPair {
  std::string first;  // UTF-8 text as stored
  std::string last;
};
BannerPair ReadBanner(const IniSnapshot& file, int slot);
// Slot `slot` as a run uses it: the markers' cp1251 bytes, First then Last, each ending at its
// first NUL byte (as a C-string profile reader gives it); the file is looked at again first.
std::pair<std::string, std::string> ReadBannerMarkers(CachedIniFile& file, int slot);
// The same from the file as it was last read, not looked at again.
std::pair<std::string, std::string> ReadBannerMarkersAsRead(const CachedIniFile& file, int slot);
// "First" then "Last", in one rewrite: a run never sees a slot's new first marker with its old
// last one, and a failure writes neither.
void WriteBanner(const IniFile& file, int slot, const BannerPair& pair);

}  // namespace varnow
