// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "messages/Language.h"

// What both programs say of a wrong command line, and the language it asks for: varnow and
// varnow-cli read their arguments alike.
namespace varnow::command_line {

inline constexpr Texts kUnknownOption{"неизвестный параметр %s", "unknown option %s"};
inline constexpr Texts kNeedsValue{"параметру %s нужно значение", "option %s needs a value"};
inline constexpr Texts kLanguageValue{"%s принимает ru или en, а не «%s»",
                                      "%s takes ru or en, not '%s'"};
inline constexpr Texts kOneFolder{"нужна одна папка FOLDER, указано %d", "one FOLDER only, got %d"};
inline constexpr Texts kTryHelp{"Подробнее: %s --help", "Try '%s --help' for more."};

// The language --language names among `arguments` (the program's name not among them), read
// before the line is read whole, so that what is wrong with it is told in that language. A code
// that names no language is passed over; the last one given counts; nothing after "--" is an
// option.
std::optional<Language> LanguageAsked(const std::vector<std::string>& arguments);

}  // namespace varnow::command_line
