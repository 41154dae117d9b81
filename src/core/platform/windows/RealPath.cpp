// SPDX-License-Identifier: MIT
#include "platform/RealPath.h"

#include <windows.h>

#include "platform/windows/WideNames.h"

namespace varnow {

std::optional<std::string> RealPathOf(const std::string& path) {
  const HANDLE handle = ::CreateFileW(windows::WidePath(path).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return std::nullopt;
  }
  std::wstring real(MAX_PATH, L'\0');
  DWORD n = ::GetFinalPathNameByHandleW(handle, real.data(), static_cast<DWORD>(real.size()),
                                        FILE_NAME_NORMALIZED);
  if (n >= real.size()) {
    real.resize(n + 1);  // n counts the terminating NUL where the buffer was too short
    n = ::GetFinalPathNameByHandleW(handle, real.data(), static_cast<DWORD>(real.size()),
                                    FILE_NAME_NORMALIZED);
  }
  ::CloseHandle(handle);
  if (n == 0 || n >= real.size()) {
    return std::nullopt;
  }
  real.resize(n);
  // "\\?\C:\site" as "C:\site", "\\?\UNC\server\share" as "\\server\share".
  if (real.starts_with(L"\\\\?\\UNC\\")) {
    real = L"\\\\" + real.substr(8);
  } else if (real.starts_with(L"\\\\?\\")) {
    real = real.substr(4);
  }
  return windows::Utf8(real);
}

}  // namespace varnow
