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

Failed ReadStandardInput(std::string& bytes) {
  const HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
  char block[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(in, block, sizeof block, &got, nullptr)) {
      const DWORD error = ::GetLastError();
      // The writing end of a pipe closed: that is its end.
      if (error == ERROR_BROKEN_PIPE) {
        return std::nullopt;
      }
      return windows::FailureOfCode(error);
    }
    if (got == 0) {
      return std::nullopt;
    }
    bytes.append(block, got);
  }
}

bool IsTerminal(StandardStream stream) {
  DWORD mode = 0;
  return ::GetConsoleMode(Handle(stream), &mode) != 0;
}

void PrepareTerminal() {
  ::SetConsoleOutputCP(CP_UTF8);
}

}  // namespace varnow
