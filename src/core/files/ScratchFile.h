// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

namespace varnow {

// A file for the program's own scratch data (a page's changes past their memory cap, the log
// pane's lines) in `folder`: without a name where the file system allows (O_TMPFILE), else
// under a temporary name removed as soon as it is open, so that nothing is left behind however
// the program ends. Opened for reading and writing; the descriptor, or -1 where no file can be
// made there.
int OpenScratchFile(const std::filesystem::path& folder);

}  // namespace varnow
