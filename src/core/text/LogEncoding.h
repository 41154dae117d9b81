// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string_view>

#include "messages/Language.h"

namespace varnow {

// The encoding log.txt is written in: windows-1251 as the program has always written it (a
// character it lacks as a decimal character reference), or UTF-8.
enum class LogEncoding { kCp1251, kUtf8 };

// "cp1251" or "utf-8", as the settings file and the command line name them.
std::string_view LogEncodingName(LogEncoding encoding);
// The encoding a name stands for ("cp1251", "windows-1251", "utf-8", "utf8", any letter case);
// nothing for another name.
std::optional<LogEncoding> LogEncodingNamed(std::string_view name);

// How log.txt's lines are written: their encoding and their language (Russian, log.txt's own,
// unless the user asked for English).
struct LogForm {
  LogEncoding encoding = LogEncoding::kCp1251;
  Language language = Language::kRussian;
};

}  // namespace varnow
