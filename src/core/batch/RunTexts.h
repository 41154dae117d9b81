// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

#include "Version.h"

// The texts a run shows besides its log's lines (those are in messages/Messages.h), in the
// program's own words.
namespace varnow::run_text {

inline constexpr std::string_view kSearching = "Поиск...";
inline constexpr std::string_view kLoading = "Загрузка...";
inline constexpr std::string_view kProcessing = "Обработка файла %d из %d";  // 0-based index
inline constexpr std::string_view kDone = "Готово. Обработано %d файлов. Время: %s";

inline constexpr std::string_view kHeaderProduct = version::kLogHeader;
inline constexpr std::string_view kHeaderDateTime = "%s %s";
inline constexpr std::string_view kHeaderCount = "Файлов обработано %d";
inline constexpr std::string_view kHeaderElapsed = "Затрачено времени: %s";
inline constexpr std::string_view kHeaderEnd = " ";

inline constexpr std::string_view kLogFileName = "log.txt";

inline constexpr std::string_view kCannotOpen = "Cannot open file \"%s\". %s";
inline constexpr std::string_view kCannotRead = "Cannot read file \"%s\". %s";
inline constexpr std::string_view kCannotCreate = "Cannot create file \"%s\". %s";
inline constexpr std::string_view kCannotReadLines =
    "Cannot read back the log lines of \"%s\" from the temporary folder. %s";
inline constexpr std::string_view kOutOfMemory = "Not enough memory to clean file \"%s\"";
// A page refused before it is loaded: the page, its size, the largest a run cleans.
inline constexpr std::string_view kPageTooLarge =
    "%s не обработан: страница в %s байт больше предела в %s байт (память, доступная "
    "обработке, или MaxPageSize / --max-page-size)";
// The write that failed, with the file and the system's reason.
inline constexpr std::string_view kWriteError = "Stream write error (%s): %s";
inline constexpr std::string_view kIsTheSource = "The output file is the source file itself";
inline constexpr std::string_view kIsASource = "The output file is a page of this run";
// Pages refused one by one; the run goes on with the next.
inline constexpr std::string_view kThroughLink =
    "The output folder leads through the link \"%s\" into the searched folder";
inline constexpr std::string_view kIsAnotherCopy = "The output file exists as another page's copy";
inline constexpr std::string_view kNotAFolder = "Это не папка: %s";
inline constexpr std::string_view kOutputOntoFolder =
    "Каталог сохраненных файлов \"%s\" отображает папку \"%s\" на нее саму: копии легли бы "
    "поверх исходных файлов";
// How many folders or files the search could not go into (their notices are messages).
inline constexpr std::string_view kSkippedCount = " Пропущено: %d";
inline constexpr std::string_view kNoFolder = "Не указана папка с HTML файлами";
inline constexpr std::string_view kNoOutputFolder = "Не указан каталог сохраненных файлов";

}  // namespace varnow::run_text
