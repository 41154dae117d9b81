// SPDX-License-Identifier: MIT
#include "platform/ProgramArguments.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/windows/WideNames.h"

namespace varnow {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
  }
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) {
    arguments.push_back(windows::Utf8(wide[i]));
  }
  ::LocalFree(wide);
  return arguments;
}

}  // namespace varnow
