// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "messages/Language.h"

namespace varnow {

// One value for a placeholder of a message: %d takes a number, %s a text.
using FormatArg = std::variant<std::int64_t, std::string_view>;

// Fills the placeholders of a program message ("удален <script> [%d]", "Обработка файла %d из %d",
// "Cannot open file \"%s\". %s") with the values in order. Only %d, %s and %% are known; a
// placeholder without a value, or of the other kind than its value, is left as written, so a
// wrong call shows up in the text instead of crashing.
std::string FormatText(std::string_view format, std::initializer_list<FormatArg> values);
std::string FormatText(std::string_view format, std::span<const FormatArg> values);
// The same at the end of `out`.
void AppendFormatted(std::string& out, std::string_view format,
                     std::initializer_list<FormatArg> values);

// A count with its thousands set apart as the language writes them: "1 234 567" in Russian,
// "1,234,567" in English.
std::string GroupedDigits(std::uint64_t n, Language language = Language::kRussian);

}  // namespace varnow
