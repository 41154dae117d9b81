// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Why a call to the system failed, as the program's own code sees it: a cause it can act on
// and the system's words for it, which the user is shown. The system's error number is turned
// into one right where the call was made (in files/, discovery/, settings/ and here); nothing
// past that looks at errno.
namespace varnow {

enum class FailureCause : std::uint8_t {
  kNotFound,    // no such file or folder
  kNoAccess,    // permission denied, or a read-only file system
  kNoRoom,      // the disk or the user's quota is full
  kNotAFolder,  // a part of the path is not a folder
  kIsAFolder,   // a folder stands where a file was meant
  kTooLarge,    // a file too large for the call or for the process's limits
  kNoMemory,
  kOther,
};

// Which of the common errors it was, for the program's own words of it (messages/ErrorTexts.h);
// kOther where only the system's words say.
enum class SystemError : std::uint8_t {
  kNoEntry,       // ENOENT
  kNoAccess,      // EACCES
  kReadOnly,      // EROFS
  kNoSpace,       // ENOSPC
  kQuota,         // EDQUOT
  kNotDirectory,  // ENOTDIR
  kExists,        // EEXIST
  kNameTooLong,   // ENAMETOOLONG
  kTooManyFiles,  // EMFILE
  kInputOutput,   // EIO
  kLinkLoop,      // ELOOP: links that lead round in a circle
  kDanglingLink,  // a link on the way to a folder leads nowhere (the program's own finding)
  kOther,
};

struct SystemFailure {
  FailureCause cause = FailureCause::kOther;
  std::string reason;  // "Permission denied", as the system says it
  SystemError error = SystemError::kOther;
};

// The failure an error number stands for.
SystemFailure FailureOf(int errorNumber);

// What a call that may fail gives: nothing when it worked, else why it did not.
using Failed = std::optional<SystemFailure>;

}  // namespace varnow
