// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

#include "Version.h"
#include "messages/Language.h"

// The texts a run shows besides its log's lines (those are in messages/Messages.h) and its
// errors (messages/ErrorTexts.h), in the program's own words. The status texts are in the
// interface's language, log.txt's header in the log's.
namespace varnow::run_text {

inline constexpr Texts kSearching{"Поиск...", "Searching..."};
inline constexpr Texts kLoading{"Загрузка...", "Loading..."};
inline constexpr Texts kProcessing{"Обработка файла %d из %d",  // 0-based index
                                   "Processing file %d of %d"};
inline constexpr Texts kDone{"Готово. Обработано %d файлов. Время: %s",
                             "Done. Files processed: %d. Time: %s"};
// How many folders or files the search could not go into (their notices are messages).
inline constexpr Texts kSkippedCount{" Пропущено: %d", " Skipped: %d"};
// How many pages were as the last run left them, and not cleaned again.
inline constexpr Texts kUpToDateCount{" Не изменено: %d", " Unchanged: %d"};

inline constexpr Texts kHeaderProduct{version::kLogHeader, version::kLogHeaderEnglish};
inline constexpr std::string_view kHeaderDateTime = "%s %s";
inline constexpr Texts kHeaderCount{"Файлов обработано %d", "Files processed: %d"};
inline constexpr Texts kHeaderElapsed{"Затрачено времени: %s", "Time taken: %s"};
inline constexpr std::string_view kHeaderEnd = " ";

inline constexpr std::string_view kLogFileName = "log.txt";
// The manifest of a run's pages, beside log.txt; beside a log named otherwise, that name with
// the suffix.
inline constexpr std::string_view kManifestFileName = ".varnow-manifest";
inline constexpr std::string_view kManifestSuffix = ".manifest";

}  // namespace varnow::run_text
