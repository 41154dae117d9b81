// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

namespace varnow {

// The real path of what `path` names: every link (symbolic link, junction) followed and "."
// and ".." resolved, as the system resolves them (realpath; GetFinalPathNameByHandleW on
// Windows, without its "\\?\" prefix). Nothing where it cannot be resolved.
std::optional<std::string> RealPathOf(const std::string& path);

}  // namespace varnow
