// SPDX-License-Identifier: MIT
#include <windows.h>

#include <string>

#include "platform/ExecutablePath.h"

namespace varnow {

std::filesystem::path ExecutablePath() {
  // A path past MAX_PATH is cut to the buffer's size: the buffer grows until it is not.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) {
      return {};
    }
    if (n < path.size()) {
      path.resize(n);
      return std::filesystem::path(path);
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace varnow
