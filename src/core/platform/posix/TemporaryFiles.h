// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/TemporaryNames.h"

// The program's temporary files on POSIX: their names, and the lock a live one holds.
namespace varnow {

// How many fresh names are tried before a folder is taken to be full of them.
inline constexpr int kNameAttempts = 100;

// A fresh temporary name of the program's own in `folder`.
std::string TemporaryName(const std::filesystem::path& folder);

// Locks the file behind `fd` while it is written, so that a later run removing the names that
// interrupted runs left behind never takes a live one.
void HoldWhileWritten(int fd);

// Whether an open with O_TMPFILE failed because the file system (or the kernel) has no
// unnamed files.
bool NoUnnamedFiles(int err);

// Creates a new file with a short temporary name of the program's own (".vnXXXXXXXX.t") in
// `folder`, opened with `access` (O_WRONLY or O_RDWR) and locked. Returns the descriptor and
// sets `name`, or returns -1 with errno set, as the open does.
int CreateTemporaryFile(const std::filesystem::path& folder, int access, std::string& name);

}  // namespace varnow
