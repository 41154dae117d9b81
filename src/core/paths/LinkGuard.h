// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varnow {

// The symbolic link inside the output tree through which the folder `folder` (the output root
// `outputRoot` followed by more of a path) reaches the searched tree, whose real path is
// `searchedTree`; nothing when it does not. Parts of `folder` that do not exist yet are made
// by the run as real folders and lead nowhere. The output root itself may be a link, or lie
// inside the searched tree: that is where the user put it.
std::optional<std::string> LinkIntoSearchedTree(std::string_view outputRoot,
                                                std::string_view folder,
                                                const std::string& searchedTree);

// The real path of a folder (links and "." and ".." resolved); the text itself where it cannot
// be resolved.
std::string RealFolder(const std::string& folder);

}  // namespace varnow
