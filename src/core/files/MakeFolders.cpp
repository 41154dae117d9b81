// SPDX-License-Identifier: MIT
#include "files/MakeFolders.h"

#include <cerrno>
#include <string>
#include <system_error>

#include "platform/PathSyntax.h"

namespace varnow {
namespace {

// The first part of `folder`'s way that is a link whose target does not exist, with where it
// points; nothing where there is none.
std::optional<SystemFailure> DanglingLinkOnTheWay(const std::filesystem::path& folder) {
  std::filesystem::path way;
  for (const std::filesystem::path& part : folder) {
    way /= part;
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::symlink_status(way, ec);
    if (ec || !std::filesystem::is_symlink(status)) {
      continue;
    }
    if (!std::filesystem::exists(way, ec) && !ec) {
      const std::filesystem::path target = std::filesystem::read_symlink(way, ec);
      return SystemFailure{FailureCause::kNotFound,
                           "dangling link: " + PathText(way) + " -> " + PathText(target),
                           SystemError::kDanglingLink};
    }
  }
  return std::nullopt;
}

}  // namespace

Failed MakeFolders(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::create_directories(SystemPath(folder), ec);
  if (!ec) {
    return std::nullopt;
  }
  if (ec.value() == EEXIST) {
    if (std::optional<SystemFailure> dangling = DanglingLinkOnTheWay(folder)) {
      return dangling;
    }
  }
  return FailureOf(ec.value());
}

}  // namespace varnow
