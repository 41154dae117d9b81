// SPDX-License-Identifier: MIT
// The C++ library of mingw-w64 makes no symbolic links (create_symlink fails with ENOSYS), so
// they are made by CreateSymbolicLinkW, which also needs to be told a folder's link apart.
#include "support/SymbolicLink.h"

#include <windows.h>

namespace varnow::test {
namespace {

// SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE: a link without administrator's rights where
// Windows is in developer mode.
constexpr DWORD kUnprivileged = 0x2;

}  // namespace

bool MakeSymbolicLink(const std::filesystem::path& target, const std::filesystem::path& link,
                      bool folder) {
  const DWORD flags = (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | kUnprivileged;
  const std::filesystem::path made = std::filesystem::path(link).make_preferred();
  if (!::CreateSymbolicLinkW(made.c_str(), std::filesystem::path(target).make_preferred().c_str(),
                             flags)) {
    return false;
  }
  // Wine 8 says it made the link and makes nothing: only a link that stands counts.
  const DWORD attributes = ::GetFileAttributesW(made.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace varnow::test
