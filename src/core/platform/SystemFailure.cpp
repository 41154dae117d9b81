// SPDX-License-Identifier: MIT
#include "platform/SystemFailure.h"

#include <cerrno>
#include <cstring>

namespace varnow {
namespace {

FailureCause CauseOf(int errorNumber) {
  switch (errorNumber) {
    case ENOENT:
      return FailureCause::kNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return FailureCause::kNoAccess;
    case ENOSPC:
#ifdef EDQUOT  // the quota's own error, where the system has one
    case EDQUOT:
#endif
      return FailureCause::kNoRoom;
    case ENOTDIR:
      return FailureCause::kNotAFolder;
    case EISDIR:
      return FailureCause::kIsAFolder;
    case EFBIG:
    case EOVERFLOW:
      return FailureCause::kTooLarge;
    case ENOMEM:
      return FailureCause::kNoMemory;
    default:
      return FailureCause::kOther;
  }
}

SystemError ErrorOf(int errorNumber) {
  switch (errorNumber) {
    case ENOENT:
      return SystemError::kNoEntry;
    case EACCES:
      return SystemError::kNoAccess;
    case EROFS:
      return SystemError::kReadOnly;
    case ENOSPC:
      return SystemError::kNoSpace;
#ifdef EDQUOT
    case EDQUOT:
      return SystemError::kQuota;
#endif
    case ENOTDIR:
      return SystemError::kNotDirectory;
    case EEXIST:
      return SystemError::kExists;
    case ENAMETOOLONG:
      return SystemError::kNameTooLong;
    case EMFILE:
      return SystemError::kTooManyFiles;
    case EIO:
      return SystemError::kInputOutput;
    case ELOOP:
      return SystemError::kLinkLoop;
    default:
      return SystemError::kOther;
  }
}

}  // namespace

SystemFailure FailureOf(int errorNumber) {
  return {CauseOf(errorNumber), std::strerror(errorNumber), ErrorOf(errorNumber)};
}

}  // namespace varnow
