// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>

// The user's own folders for the program's files: the XDG base directories on POSIX, the
// application-data folders on Windows.
namespace varnow {

// Where the user's settings go: $XDG_CONFIG_HOME, else ~/.config (POSIX); %APPDATA% (Windows).
// Nothing where none is known.
std::optional<std::filesystem::path> UserConfigFolder();
// Where the user's cached data goes (it may be lost): $XDG_CACHE_HOME, else ~/.cache (POSIX);
// %LOCALAPPDATA% (Windows). Nothing where none is known.
std::optional<std::filesystem::path> UserCacheFolder();

// Where the user's state goes (what the program remembers between starts): $XDG_STATE_HOME,
// else ~/.local/state (POSIX); %LOCALAPPDATA% (Windows). Nothing where none is known.
std::optional<std::filesystem::path> UserStateFolder();

// The XDG rule, with the environment given (null: unset): `variable` where it is an absolute
// path, else `home`/`inHome` where home is, else nothing.
std::optional<std::filesystem::path> XdgFolder(const char* variable, const char* home,
                                               const char* inHome);

}  // namespace varnow
