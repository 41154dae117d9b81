// SPDX-License-Identifier: MIT
#include "files/KeptFilePlace.h"

#include <system_error>

#include "platform/FileFacts.h"
#include "platform/PathSyntax.h"
#include "text/Format.h"

namespace varnow {

KeptFilePlace LookAtKeptFile(const std::filesystem::path& file) {
  KeptFilePlace place;
  place.target = file;
  const std::string path = PathText(file);
  Failed why;
  const std::optional<FileFacts> own = FactsOf(path, Links::kNotFollowed, &why);
  if (!own) {
    place.kind = why->cause == FailureCause::kNotFound ? KeptFilePlace::Kind::kMissing
                                                       : KeptFilePlace::Kind::kUnknown;
    place.failure = *why;
    return place;
  }
  if (own->kind != FileKind::kLink) {
    place.kind = own->kind == FileKind::kRegular ? KeptFilePlace::Kind::kRegular
                                                 : KeptFilePlace::Kind::kNotRegular;
    return place;
  }
  const std::optional<FileFacts> target = FactsOf(path, Links::kFollow, &why);
  if (!target) {
    std::error_code ec;
    place.linkTarget = PathText(std::filesystem::read_symlink(file, ec));
    // A link that leads nowhere (its target, or a folder on the way, missing), or round in
    // circles.
    place.kind = why->cause == FailureCause::kNotFound || why->cause == FailureCause::kNotAFolder ||
                         why->error == SystemError::kLinkLoop
                     ? KeptFilePlace::Kind::kDanglingLink
                     : KeptFilePlace::Kind::kUnknown;
    place.failure = *why;
    return place;
  }
  if (target->kind != FileKind::kRegular) {
    place.kind = KeptFilePlace::Kind::kNotRegular;
    return place;
  }
  std::error_code ec;
  std::filesystem::path resolved = std::filesystem::canonical(file, ec);
  if (ec) {
    place.kind = KeptFilePlace::Kind::kUnknown;
    place.failure = FailureOf(ec.value());
    return place;
  }
  place.kind = KeptFilePlace::Kind::kRegular;
  place.target = std::move(resolved);
  return place;
}

std::optional<ErrorText> KeptFileProblem(const KeptFilePlace& place,
                                         const std::filesystem::path& file, const Texts& what) {
  const std::string path = PathText(file);
  const auto inEach = [&](const Texts& format, std::initializer_list<std::string_view> more) {
    std::vector<FormatArg> russian{what.Russian()};
    std::vector<FormatArg> english{what.English()};
    russian.insert(russian.end(), more.begin(), more.end());
    english.insert(english.end(), more.begin(), more.end());
    std::string shown = FormatText(format.Russian(), russian);
    return ErrorText{shown, shown, FormatText(format.English(), english)};
  };
  switch (place.kind) {
    case KeptFilePlace::Kind::kDanglingLink:
      return inEach({"%s не читается и не сохраняется: %s: dangling link: %s",
                     "%s can be neither read nor saved: %s: dangling link: %s"},
                    {path, place.linkTarget});
    case KeptFilePlace::Kind::kNotRegular:
      return inEach(
          {"%s не читается и не сохраняется: %s не является обычным файлом и не будет заменен",
           "%s can be neither read nor saved: %s is no regular file and will not be replaced"},
          {path});
    case KeptFilePlace::Kind::kMissing:
    case KeptFilePlace::Kind::kRegular:
    case KeptFilePlace::Kind::kUnknown:  // the write itself then fails, and says so
      break;
  }
  return std::nullopt;
}

}  // namespace varnow
