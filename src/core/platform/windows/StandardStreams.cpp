// SPDX-License-Identifier: MIT
#include "platform/StandardStreams.h"

#include <windows.h>

#include <algorithm>

#include "platform/windows/WideNames.h"

namespace varnow {
namespace {

HANDLE Handle(StandardStream stream) {
  return ::GetStdHandle(stream == StandardStream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

}  // namespace

Failed WriteToStream(StandardStream stream, std::string_view bytes) {
  const HANDLE out = Handle(stream);
  while (!bytes.empty()) {
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 20));
    DWORD n = 0;
    if (!::WriteFile(out, bytes.data(), ask, &n, nullptr)) {
      return windows::FailureOfCode(::GetLastError());
    }
    bytes.remove_prefix(n);
  }
  return std::nullopt;
}

bool IsTerminal(StandardStream stream) {
  DWORD mode = 0;
  return ::GetConsoleMode(Handle(stream), &mode) != 0;
}

void PrepareTerminal() {
  ::SetConsoleOutputCP(CP_UTF8);
}

}  // namespace varnow
