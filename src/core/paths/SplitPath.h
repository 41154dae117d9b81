// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "messages/ErrorTexts.h"

namespace varnow {

// A path whose folder does not exist or cannot be entered. Its logged text is "File not found"
// (the folder itself is missing), "Invalid filename" (a folder above it is missing, or is not
// a folder), or the system's text for any other reason; the shown one names the folder.
class PathError : public ProgramError {
 public:
  using ProgramError::ProgramError;
};

struct SplitParts {
  // The absolute folder, "." and ".." resolved in the text, without a trailing separator:
  // "/site/a" ("C:\site\a" on Windows), or the root, "/" ("C:\").
  std::string directory;
  // What follows the last separator; empty when the text names a folder.
  std::string fileName;
};

// Splits a path into its folder and file name. A relative text is taken relative to the working
// directory (which is not changed). A last part that is not an existing file is a folder: it
// joins the directory part, and the file name is empty. Throws PathError when the folder does
// not exist.
SplitParts SplitPath(std::string_view text);

// OutputFolder + directory part + separator + name: the output tree mirrors the whole source
// path, on Windows the part below its drive ("D:\out" + "\site\news" for "C:\site\news", one
// separator before a share's server: "D:\out\server\share\dir"). OutputFolder is joined as
// given; the root's directory part adds no second separator.
std::string MirroredPath(std::string_view outputFolder, std::string_view directory,
                         std::string_view name);

// The folder for `directory` under OutputFolder.
std::string MirroredFolder(std::string_view outputFolder, std::string_view directory);

}  // namespace varnow
