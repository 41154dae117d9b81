// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "messages/Language.h"

namespace varnow {

// What is wrong with a settings file, told so that a person can mend it: the file is missing,
// not a regular file, too large, unreadable, has no section "Main", lacks a switch, or a
// switch holds no valid value (the key is named). Nothing when section "Main" reads whole.
// Every byte of a bad value is shown; a NUL is written as "\0", never cutting the message.
// With `switchesNeeded` false, only the file itself is checked, not what section "Main" holds.
std::optional<std::string> CheckSettingsFile(const std::filesystem::path& file,
                                             bool switchesNeeded = true,
                                             Language language = Language::kRussian);

}  // namespace varnow
