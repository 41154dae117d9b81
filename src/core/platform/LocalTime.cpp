// SPDX-License-Identifier: MIT
#include "platform/LocalTime.h"

#include <cstdio>
#include <ctime>

#include "platform/LocalCalendar.h"

namespace varnow {
namespace {

std::string Strftime(const char* format, std::chrono::system_clock::time_point when) {
  const std::time_t t = std::chrono::system_clock::to_time_t(when);
  const std::tm local = LocalCalendar(t);
  char buffer[256];
  const std::size_t n = std::strftime(buffer, sizeof buffer, format, &local);
  return std::string(buffer, n);
}

}  // namespace

std::string LocaleDate(std::chrono::system_clock::time_point when) {
  return Strftime("%x", when);
}

std::string LocaleTime(std::chrono::system_clock::time_point when) {
  return Strftime("%X", when);
}

std::string ElapsedText(std::chrono::steady_clock::duration elapsed) {
  long long seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
  if (seconds < 0) {
    seconds = 0;
  }
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                seconds % 60);
  return buffer;
}

}  // namespace varnow
