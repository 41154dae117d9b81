// SPDX-License-Identifier: MIT
#include "settings/CachedIniFile.h"

#include "platform/PathSyntax.h"

namespace varnow {

void CachedIniFile::Forget() {
  known_ = false;
  values_ = {};
  lines_.clear();
  ++version_;
}

void CachedIniFile::Refresh() {
  const std::optional<FileFacts> now = FactsOf(PathText(file_), Links::kFollow);
  if (!now) {
    Forget();  // no file: every value reads as missing
    return;
  }
  if (known_ && *now == facts_) {
    return;
  }
  lines_ = ini::SplitLines(ini::ReadFileBytes(file_).value_or(std::string()));
  values_ = ini::ValueIndex(lines_);
  facts_ = *now;
  known_ = true;
  ++version_;
}

std::string_view CachedIniFile::Value(std::string_view section, std::string_view key) const {
  return values_.Find(section, key).value_or(std::string_view());
}

}  // namespace varnow
