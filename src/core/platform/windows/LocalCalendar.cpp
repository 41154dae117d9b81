// SPDX-License-Identifier: MIT
#include "platform/LocalCalendar.h"

namespace varnow {

std::tm LocalCalendar(std::time_t t) {
  std::tm local{};
  ::localtime_s(&local, &t);
  return local;
}

}  // namespace varnow
