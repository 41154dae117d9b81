// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <string>

namespace varnow {

// The date and the time of `when` in the user's locale (strftime %x and %X of the process's
// locale): "08.12.2026" and "4:51:02" for a Russian one.
std::string LocaleDate(std::chrono::system_clock::time_point when);
std::string LocaleTime(std::chrono::system_clock::time_point when);

// A duration as hours, minutes and seconds: "0:00:03", "27:04:09". Written so whatever the
// locale, since a 12-hour clock would show three seconds as "12:00:03 AM".
std::string ElapsedText(std::chrono::steady_clock::duration elapsed);

}  // namespace varnow
