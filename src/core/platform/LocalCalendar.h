// SPDX-License-Identifier: MIT
#pragma once

#include <ctime>

namespace varnow {

// `t` broken down in the user's time zone; each system has its own thread-safe call for it.
std::tm LocalCalendar(std::time_t t);

}  // namespace varnow
