// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "control/StopToken.h"

#include "platform/SystemFailure.h"

namespace varnow {

// Appends to `fileList` every regular file named *.htm or *.html (ASCII letters in any case)
// under `path`, which ends with its separator ("/", or "\" on Windows), as every folder
// below it then does in the paths found. Entries come depth-first in the order the system lists
// them, unsorted: a subfolder's files stand where the subfolder's entry was met. Hidden files
// and folders are included. `stop` is polled with every entry and looked at between them;
// a stop leaves what was found so far. A folder that cannot be listed (no access, a path past
// the system's limit) or an entry whose kind cannot be learned adds nothing and is told to
// `onSkipped` with why; a broken symbolic link is no file at all and is passed over
// quietly. Symbolic links are followed, but a folder already searched is never entered again,
// so links cannot make a loop.
using SkipReport = std::function<void(const std::string& path, const SystemFailure& why)>;
void CollectFiles(const std::string& path, std::vector<std::string>& fileList,
                  const StopToken& stop, const SkipReport& onSkipped = nullptr);

// Whether a file name has the extension of a page: from its last "." on, ".htm" or ".html".
bool HasPageExtension(std::string_view name);

}  // namespace varnow
