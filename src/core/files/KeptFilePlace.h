// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>

#include <optional>
#include <string>
#include "messages/ErrorTexts.h"

#include "platform/SystemFailure.h"

namespace varnow {

// What stands where the program keeps a file of its own between runs (the settings file, the
// window's state file), and so where a write of it goes. A symbolic link to a regular file is
// written through: its target is replaced, in the target's own folder, and the link stays. A
// dangling link, or a place whose target is a device, a FIFO, a folder or anything else that
// is not a regular file, is neither read nor replaced: replacing it would destroy what the
// link points at (a device node, when the program runs as root) or make a file where the user
// never asked for one. (log.txt and the copies follow another rule: a link at their place is
// replaced, never followed.)
struct KeptFilePlace {
  enum class Kind {
    kMissing,       // nothing there yet: a write makes the file
    kRegular,       // a regular file, or a link to one
    kDanglingLink,  // a link whose target does not exist
    kNotRegular,    // the target exists and is not a regular file
    kUnknown,       // the place could not be looked at (`failure` says why)
  };
  Kind kind = Kind::kMissing;
  std::filesystem::path target;  // where a write goes: the link's target, fully resolved
  std::string linkTarget;        // what a dangling link points at
  SystemFailure failure;         // for kUnknown
};

KeptFilePlace LookAtKeptFile(const std::filesystem::path& file);

// Why the file at `file` may be neither read nor written, in the user's words, naming it;
// nothing when it may (also when the place could not be looked at: the write then fails with
// its own message). `what` opens the message ("Файл настроек", "Файл состояния окна").
std::optional<ErrorText> KeptFileProblem(const KeptFilePlace& place,
                                         const std::filesystem::path& file, const Texts& what);

}  // namespace varnow
