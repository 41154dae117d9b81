// SPDX-License-Identifier: MIT
#include "platform/CaseRule.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wctype.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "text/AsciiCase.h"
#include "text/Cp1251.h"

namespace varnow {

std::optional<bool> FolderIgnoresCase(const std::string& folder) {
  std::random_device random;
  for (int attempt = 0; attempt < 8; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "/.vn%08x.t", static_cast<unsigned>(random()));
    const std::string lower = folder + name;
    const int fd = ::open(lower.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) {
        continue;
      }
      return std::nullopt;
    }
    ::close(fd);
    std::string upper = folder;
    for (const char* c = name; *c != '\0'; ++c) {
      upper += AsciiUpper(*c);
    }
    struct stat st {};
    const bool ignores = ::lstat(upper.c_str(), &st) == 0;
    ::unlink(lower.c_str());
    return ignores;
  }
  return std::nullopt;
}

CaseFolding::CaseFolding() : locale_(::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{})) {}

CaseFolding::~CaseFolding() {
  if (locale_ != locale_t{}) {
    ::freelocale(locale_);
  }
}

std::string CaseFolding::Fold(std::string_view name) const {
  std::string folded;
  folded.reserve(name.size());
  for (std::size_t i = 0; i < name.size();) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 0x80) {
      folded += static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
      ++i;
      continue;
    }
    const std::size_t start = i;
    const std::optional<char32_t> cp = NextCodePoint(name, i);
    if (!cp) {
      folded += name[start];  // not UTF-8: the byte itself
      i = start + 1;
      continue;
    }
    char32_t lower = *cp;
    if (locale_ != locale_t{}) {
      lower = static_cast<char32_t>(::towlower_l(static_cast<wint_t>(*cp), locale_));
    }
    AppendUtf8(folded, lower);
  }
  return folded;
}

}  // namespace varnow
