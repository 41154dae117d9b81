// SPDX-License-Identifier: MIT
#include "messages/ErrorTexts.h"

#include <new>

#include <array>
#include <utility>
#include <vector>

namespace varnow {
namespace {

std::string Fill(std::string_view format, std::initializer_list<std::string_view> values,
                 std::string_view cause, bool withCause) {
  std::vector<FormatArg> args(values.begin(), values.end());
  if (withCause) {
    args.emplace_back(cause);
  }
  return FormatText(format, args);
}

ErrorText Make(ErrorId id, std::initializer_list<std::string_view> values, const ErrorText* cause) {
  const ErrorRow& row = kErrors[Index(id)];
  const bool withCause = cause != nullptr;
  const auto fill = [&](std::string_view format, const std::string* causeText) {
    return Fill(format, values, withCause ? std::string_view(*causeText) : "", withCause);
  };
  return {fill(row.logged, withCause ? &cause->logged : nullptr),
          fill(row.shown.Russian(), withCause ? &cause->shown : nullptr),
          fill(row.shown.English(), withCause ? &cause->english : nullptr)};
}

// A failure's words for each language: what the program says of the common ones, else a
// general word with the system's own.
struct CauseRow {
  SystemError error;
  Texts words;  // "%s": the system's words
};
constexpr std::array<CauseRow, 13> kCauses{{
    {SystemError::kNoEntry, {"нет такого файла или папки", "no such file or folder"}},
    {SystemError::kNoAccess, {"нет прав доступа", "permission denied"}},
    {SystemError::kReadOnly,
     {"файловая система доступна только для чтения", "the file system is read-only"}},
    {SystemError::kNoSpace, {"на диске нет места", "no space left on the disk"}},
    {SystemError::kQuota, {"исчерпана дисковая квота", "the disk quota is used up"}},
    {SystemError::kNotDirectory,
     {"часть пути не является папкой", "part of the path is no folder"}},
    {SystemError::kExists, {"файл с таким именем уже есть", "a file of that name exists"}},
    {SystemError::kNameTooLong, {"слишком длинное имя", "the name is too long"}},
    {SystemError::kTooManyFiles, {"открыто слишком много файлов", "too many files are open"}},
    {SystemError::kInputOutput, {"ошибка ввода-вывода", "input/output error"}},
    {SystemError::kLinkLoop,
     {"ссылки на пути замкнуты в круг", "the links on the path go round in a circle"}},
    {SystemError::kDanglingLink,
     {"ссылка на пути никуда не ведет (%s)", "a link on the path leads nowhere (%s)"}},
    {SystemError::kOther, {"ошибка системы (%s)", "system error (%s)"}},
}};

}  // namespace

void ErrorText::AddLine(const ErrorText& next) {
  for (auto [text, line] : {std::pair{&logged, &next.logged}, std::pair{&shown, &next.shown},
                            std::pair{&english, &next.english}}) {
    *text += '\n';
    *text += *line;
  }
}

ErrorText MakeError(ErrorId id, std::initializer_list<std::string_view> values) {
  return Make(id, values, nullptr);
}

ErrorText MakeError(ErrorId id, std::initializer_list<std::string_view> values,
                    const SystemFailure& cause) {
  const ErrorText words{cause.reason, CauseWords(cause, Language::kRussian),
                        CauseWords(cause, Language::kEnglish)};
  return Make(id, values, &words);
}

ErrorText MakeError(ErrorId id, std::initializer_list<std::string_view> values,
                    const ErrorText& cause) {
  return Make(id, values, &cause);
}

std::string CauseWords(const SystemFailure& failure, Language language) {
  for (const CauseRow& row : kCauses) {
    if (row.error == failure.error) {
      return FormatText(row.words.In(language), {failure.reason});
    }
  }
  return FormatText(kCauses.back().words.In(language), {failure.reason});
}

std::string ShownText(const std::exception& e, Language language) {
  return TextOf(e).Shown(language);
}

ErrorText TextOf(const std::exception& e) {
  if (const auto* error = dynamic_cast<const ProgramError*>(&e)) {
    return error->Text();
  }
  if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) {
    return MakeError(ErrorId::kNoMemory, {});  // not the library's "std::bad_alloc"
  }
  return {e.what(), e.what(), e.what()};
}

}  // namespace varnow
