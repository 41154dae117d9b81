// SPDX-License-Identifier: MIT
#include "support/HiddenFiles.h"

namespace varnow::test {

bool MarkHiddenAndSystem(const std::filesystem::path& /*path*/) {
  return false;
}

}  // namespace varnow::test
