// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/SystemFailure.h"

// How the system writes paths, and what it says of one: "/" alone and one root on POSIX;
// "\" (and "/"), drives ("C:\") and shares ("\\server\share") on Windows.
namespace varnow {

// The separator the system writes between a path's parts.
char PathSeparator();
// Whether `c` separates parts of a path ("/" everywhere, "\" on Windows too).
bool IsPathSeparator(char c);
// The length of the root at the start of an absolute path: 1 for "/", 3 for "C:\", the
// length of "\\server\share" for a share; 0 when the path has none.
std::size_t RootLength(std::string_view path);
// The part of an absolute folder below its drive, which a mirror of it takes below its own
// folder: the folder itself on POSIX ("" for the root), "\site\news" for "C:\site\news" and
// "\server\share\dir" for "\\server\share\dir" on Windows.
std::string_view BelowTheDrive(std::string_view folder);

// The path a UTF-8 text names (std::filesystem reads a narrow text in the ANSI code page on
// Windows).
std::filesystem::path PathOf(std::string_view utf8);
// A path as the program holds it, in UTF-8 (std::filesystem's string() is the ANSI code page's
// on Windows).
std::string PathText(const std::filesystem::path& path);

// `path` as the C++ library's file functions should be given it to reach any length: itself on
// POSIX, with the "\\?\" prefix past MAX_PATH on Windows (where the library adds none).
std::filesystem::path SystemPath(const std::filesystem::path& path);

// What stands at a path, links followed.
enum class PathKind { kNothing, kFolder, kOther };
// The kind of what stands at `path`; kNothing with `why` when the system cannot say, or
// nothing stands there (why's cause is kNotFound then, or kNotAFolder where a part of the path
// above it is no folder).
PathKind KindOfPath(const std::string& path, Failed& why);
// Whether the folder can be entered (listed and gone into); why not, if it cannot.
Failed CheckEnterable(const std::string& folder);

}  // namespace varnow
