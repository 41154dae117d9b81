// SPDX-License-Identifier: MIT
#include "platform/UserFolders.h"

#include <windows.h>

#include <string>

namespace varnow {
namespace {

// An environment variable's value as a path, read wide (its name in any letters).
std::optional<std::filesystem::path> FolderIn(const wchar_t* name) {
  const DWORD needed = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (needed == 0) {
    return std::nullopt;
  }
  std::wstring value(needed, L'\0');
  const DWORD n = ::GetEnvironmentVariableW(name, value.data(), needed);
  if (n == 0 || n >= needed) {
    return std::nullopt;
  }
  value.resize(n);
  std::filesystem::path folder(value);
  if (!folder.is_absolute()) {
    return std::nullopt;
  }
  return folder;
}

}  // namespace

std::optional<std::filesystem::path> UserConfigFolder() {
  return FolderIn(L"APPDATA");
}

std::optional<std::filesystem::path> UserStateFolder() {
  return FolderIn(L"LOCALAPPDATA");
}

std::optional<std::filesystem::path> UserCacheFolder() {
  return FolderIn(L"LOCALAPPDATA");
}

}  // namespace varnow
