// SPDX-License-Identifier: MIT
#include "support/SymbolicLink.h"

namespace varnow::test {

bool MakeSymbolicLink(const std::filesystem::path& target, const std::filesystem::path& link,
                      bool /*folder*/) {
  std::filesystem::create_symlink(target, link);  // the same call for files and folders
  return true;
}

}  // namespace varnow::test
