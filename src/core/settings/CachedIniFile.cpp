// SPDX-License-Identifier: MIT
#include "settings/CachedIniFile.h"

namespace varnow {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

}  // namespace

void CachedIniFile::Forget() {
  known_ = false;
  lines_.clear();
}

void CachedIniFile::Refresh() {
  struct stat now {};
  if (::stat(file_.c_str(), &now) != 0) {
    Forget();  // no file: every value reads as missing
    return;
  }
  if (known_ && SameFile(now, stat_)) {
    return;
  }
  lines_ = ini::SplitLines(ini::ReadFileBytes(file_).value_or(std::string()));
  stat_ = now;
  known_ = true;
}

std::string_view CachedIniFile::Value(std::string_view section, std::string_view key) const {
  return ini::FindValue(lines_, section, key).value_or(std::string_view());
}

}  // namespace varnow
