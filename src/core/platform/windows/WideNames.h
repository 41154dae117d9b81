// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "platform/SystemFailure.h"

// What the Windows files of the platform share: names between the program's UTF-8 and the
// system's UTF-16, and the system's error codes as the program's failures.
namespace varnow::windows {

// `utf8` in UTF-16; bytes that are no UTF-8 become U+FFFD.
std::wstring Wide(std::string_view utf8);
// `wide` in UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8(std::wstring_view wide);

// A path for the wide file functions: separators as "\", and an absolute path past MAX_PATH
// given the "\\?\" prefix ("\\?\UNC\" for a UNC path) that lifts the limit.
std::wstring WidePath(std::string_view utf8);

// The failure GetLastError's `code` stands for, in the system's words (in the language of
// the user's Windows).
SystemFailure FailureOfCode(unsigned long code);

}  // namespace varnow::windows
