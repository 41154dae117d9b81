// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/SystemFailure.h"

// The Windows steps under NewFile and LogBody: a file of the program's own temporary name,
// opened without sharing its deletion (so a run removing strays never takes a live one), and
// renamed over its target through its own handle.
namespace varnow::windows {

// Creates a new file of a fresh temporary name in `folder`; its path (UTF-8) in `name`.
// INVALID_HANDLE_VALUE with `why` where none can be made.
HANDLE CreateTemporaryFile(const std::filesystem::path& folder, std::string& name,
                           SystemFailure& why);

// Writes all of `bytes` at `at` (or at the file's position where `at` is negative).
Failed WriteAllAt(HANDLE file, std::string_view bytes, long long at);

// Reads up to `size` bytes at `at`; `got` is 0 at the end.
Failed ReadAt(HANDLE file, long long at, char* into, std::size_t size, std::size_t& got);

// Gives the open file the name `target`, replacing a file there; nothing done, with why not,
// where it cannot (another volume: ERROR_NOT_SAME_DEVICE).
Failed RenameOver(HANDLE file, const std::filesystem::path& target);

}  // namespace varnow::windows
