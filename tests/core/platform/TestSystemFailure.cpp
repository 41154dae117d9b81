// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "platform/SystemFailure.h"

namespace varnow {
namespace {

// The causes the program acts on (a full disk makes a page wait; a missing settings file is a
// first start) come from the error numbers that mean them; the reason is the system's text.
TEST(SystemFailure, ErrorNumbersBecomeCausesAndTheSystemsWords) {
  const struct {
    int errorNumber;
    FailureCause cause;
  } cases[] = {
      {ENOENT, FailureCause::kNotFound},    {EACCES, FailureCause::kNoAccess},
      {EPERM, FailureCause::kNoAccess},     {EROFS, FailureCause::kNoAccess},
      {ENOSPC, FailureCause::kNoRoom},
#ifdef EDQUOT  // POSIX's alone
      {EDQUOT, FailureCause::kNoRoom},
#endif
      {ENOTDIR, FailureCause::kNotAFolder}, {EISDIR, FailureCause::kIsAFolder},
      {EFBIG, FailureCause::kTooLarge},     {ENOMEM, FailureCause::kNoMemory},
      {EIO, FailureCause::kOther},          {EINVAL, FailureCause::kOther},
  };
  for (const auto& c : cases) {
    const SystemFailure failure = FailureOf(c.errorNumber);
    EXPECT_EQ(failure.cause, c.cause) << c.errorNumber;
    EXPECT_EQ(failure.reason, std::strerror(c.errorNumber));
  }
}

}  // namespace
}  // namespace varnow
