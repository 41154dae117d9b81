// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wctype.h>

#include <cerrno>
#include <random>

#include "platform/CaseRule.h"
#include "platform/TemporaryNames.h"
#include "text/AsciiCase.h"

namespace varnow {

std::optional<bool> FolderIgnoresCase(const std::string& folder) {
  std::random_device random;
  for (int attempt = 0; attempt < 8; ++attempt) {
    const std::string name = "/" + TemporaryFileName(static_cast<std::uint32_t>(random()));
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
    for (const char c : name) {
      upper += AsciiUpper(c);
    }
    struct stat st {};
    const bool ignores = ::lstat(upper.c_str(), &st) == 0;
    ::unlink(lower.c_str());
    return ignores;
  }
  return std::nullopt;
}

struct CaseFolding::State {
  locale_t locale = locale_t{};  // UTF-8 character classes; (locale_t)0 where none could be made
};

CaseFolding::CaseFolding() : state_(std::make_unique<State>()) {
  state_->locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
}

CaseFolding::~CaseFolding() {
  if (state_->locale != locale_t{}) {
    ::freelocale(state_->locale);
  }
}

char32_t CaseFolding::LowerOf(char32_t c) const {
  if (state_->locale == locale_t{}) {
    return c;
  }
  return static_cast<char32_t>(::towlower_l(static_cast<wint_t>(c), state_->locale));
}

}  // namespace varnow
