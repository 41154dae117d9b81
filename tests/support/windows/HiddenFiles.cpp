// SPDX-License-Identifier: MIT
#include "support/HiddenFiles.h"

#include <windows.h>

namespace varnow::test {

bool MarkHiddenAndSystem(const std::filesystem::path& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         ::SetFileAttributesW(path.c_str(),
                              attributes | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) != 0;
}

}  // namespace varnow::test
