// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

namespace varnow::test {

// Makes `link` a symbolic link to `target` (relative to the link's folder, as written), a
// folder's link where `folder`. False when the system makes none here (Windows without the
// right, or a Wine that does not implement them); the test then skips what needs one.
bool MakeSymbolicLink(const std::filesystem::path& target, const std::filesystem::path& link,
                      bool folder);

}  // namespace varnow::test
