// SPDX-License-Identifier: MIT
#include "messages/ErrorTexts.h"

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
  return {Fill(row.logged, values, withCause ? std::string_view(cause->logged) : "", withCause),
          Fill(row.shown, values, withCause ? std::string_view(cause->shown) : "", withCause)};
}

}  // namespace

void ErrorText::AddLine(const ErrorText& next) {
  logged += '\n';
  logged += next.logged;
  shown += '\n';
  shown += next.shown;
}

ErrorText MakeError(ErrorId id, std::initializer_list<std::string_view> values) {
  return Make(id, values, nullptr);
}

ErrorText MakeError(ErrorId id, std::initializer_list<std::string_view> values,
                    const SystemFailure& cause) {
  const ErrorText words{cause.reason, CauseWords(cause)};
  return Make(id, values, &words);
}

ErrorText MakeError(ErrorId id, std::initializer_list<std::string_view> values,
                    const ErrorText& cause) {
  return Make(id, values, &cause);
}

std::string CauseWords(const SystemFailure& failure) {
  switch (failure.error) {
    case SystemError::kNoEntry:
      return "нет такого файла или папки";
    case SystemError::kNoAccess:
      return "нет прав доступа";
    case SystemError::kReadOnly:
      return "файловая система доступна только для чтения";
    case SystemError::kNoSpace:
      return "на диске нет места";
    case SystemError::kQuota:
      return "исчерпана дисковая квота";
    case SystemError::kNotDirectory:
      return "часть пути не является папкой";
    case SystemError::kExists:
      return "файл с таким именем уже есть";
    case SystemError::kNameTooLong:
      return "слишком длинное имя";
    case SystemError::kTooManyFiles:
      return "открыто слишком много файлов";
    case SystemError::kInputOutput:
      return "ошибка ввода-вывода";
    case SystemError::kDanglingLink:
      return "ссылка на пути никуда не ведет (" + failure.reason + ")";
    case SystemError::kOther:
      break;
  }
  return "ошибка системы (" + failure.reason + ")";
}

std::string ShownText(const std::exception& e) {
  if (const auto* error = dynamic_cast<const ProgramError*>(&e)) {
    return error->Shown();
  }
  return e.what();
}

}  // namespace varnow
