// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "messages/ErrorTexts.h"

namespace varnow {
namespace {

// The logged text stays what log.txt has always held; the shown one is the interface's, the
// cause in the program's own words.
TEST(ErrorTexts, EachErrorHasItsLoggedAndItsShownText) {
  const struct {
    ErrorText error;
    std::string logged;
    std::string shown;
  } cases[] = {
      {MakeError(ErrorId::kCannotCreate, {"/o/a.htm"}, FailureOf(ENOTDIR)),
       "Cannot create file \"/o/a.htm\". Not a directory",
       "Не удалось создать файл /o/a.htm: часть пути не является папкой."},
      {MakeError(ErrorId::kWriteError, {"/o/log.txt"}, FailureOf(ENOSPC)),
       "Stream write error (/o/log.txt): No space left on device",
       "Не удалось записать файл /o/log.txt: на диске нет места."},
      {MakeError(ErrorId::kFolderNotFound, {"/site"}), "File not found", "Папка не найдена: /site"},
      {MakeError(ErrorId::kCannotCreate, {"/o/a.htm"}, MakeError(ErrorId::kIsTheSource, {})),
       "Cannot create file \"/o/a.htm\". The output file is the source file itself",
       "Не удалось создать файл /o/a.htm: копия легла бы на саму исходную страницу."},
      {MakeError(ErrorId::kNoOutputFolder, {}), "Не указан каталог сохраненных файлов",
       "Не указан каталог сохраненных файлов."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.error.logged, c.logged);
    EXPECT_EQ(c.error.shown, c.shown);
  }
  ErrorText two = cases[0].error;
  two.AddLine(cases[1].error);
  EXPECT_EQ(two.shown, cases[0].shown + "\n" + cases[1].shown);
}

// The common causes in words of the interface; any other as the system says it, in brackets.
TEST(ErrorTexts, CausesInTheProgramsOwnWords) {
  const struct {
    int error;
    const char* words;
  } cases[] = {
      {ENOENT, "нет такого файла или папки"},
      {EACCES, "нет прав доступа"},
      {EROFS, "файловая система доступна только для чтения"},
      {ENOSPC, "на диске нет места"},
      {EDQUOT, "исчерпана дисковая квота"},
      {ENOTDIR, "часть пути не является папкой"},
      {EEXIST, "файл с таким именем уже есть"},
      {ENAMETOOLONG, "слишком длинное имя"},
      {EMFILE, "открыто слишком много файлов"},
      {EIO, "ошибка ввода-вывода"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CauseWords(FailureOf(c.error)), c.words) << c.error;
  }
  EXPECT_EQ(CauseWords(FailureOf(ELOOP)),
            std::string("ошибка системы (") + std::strerror(ELOOP) + ")");
}

TEST(ErrorTexts, AnExceptionCarriesBoth) {
  const ProgramError error(MakeError(ErrorId::kFolderNotFound, {"/site"}));
  EXPECT_STREQ(error.what(), "File not found");
  EXPECT_EQ(ShownText(error), "Папка не найдена: /site");
  EXPECT_EQ(ShownText(std::runtime_error("plain")), "plain");
}

}  // namespace
}  // namespace varnow
