// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

#include "Version.h"

// The texts a run shows besides its log's lines (those are in messages/Messages.h) and its
// errors (messages/ErrorTexts.h), in the program's own words.
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

// How many folders or files the search could not go into (their notices are messages).
inline constexpr std::string_view kSkippedCount = " Пропущено: %d";

}  // namespace varnow::run_text
