// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

#include "platform/SystemFailure.h"

namespace varnow {

// Makes `folder` with its parents. Where a part of the way is a symbolic link to nothing, the
// failure says so ("dangling link: /out -> /gone") instead of the system's "File exists".
Failed MakeFolders(const std::filesystem::path& folder);

}  // namespace varnow
