// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varnow::test {

// The system's own converter, as a reference independent of the program's code: iconv on
// POSIX, the code-page functions on Windows. Encodings by iconv's names; Windows knows "UTF-8",
// "UTF-16LE" and the "CPnnnn" code pages. Nothing when `in` is not text in `from` or cannot be
// written in `to`.
std::optional<std::string> ConvertBySystem(const char* to, const char* from, std::string_view in);

}  // namespace varnow::test
