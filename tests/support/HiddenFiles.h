// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

namespace varnow::test {

// Gives `path` Windows' hidden and system attributes, which Explorer does not show; POSIX has
// none (a dot hides a name there), so it does nothing and says false.
bool MarkHiddenAndSystem(const std::filesystem::path& path);

}  // namespace varnow::test
