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
    case EDQUOT:
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

}  // namespace

SystemFailure FailureOf(int errorNumber) {
  return {CauseOf(errorNumber), std::strerror(errorNumber)};
}

}  // namespace varnow
