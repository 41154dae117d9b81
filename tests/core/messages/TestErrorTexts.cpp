// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "messages/ErrorTexts.h"

namespace varnow {
namespace {

// The logged text stays what log.txt has always held; the shown ones are the interface's in
// each language, the cause in the program's own words.
TEST(ErrorTexts, EachErrorHasItsLoggedAndItsShownTexts) {
  const struct {
    ErrorText error;
    std::string logged;
    std::string shown;
    std::string english;
  } cases[] = {
      {MakeError(ErrorId::kCannotCreate, {"/o/a.htm"}, FailureOf(ENOTDIR)),
       "Cannot create file \"/o/a.htm\". Not a directory",
       "Не удалось создать файл /o/a.htm: часть пути не является папкой.",
       "Could not create file /o/a.htm: part of the path is no folder."},
      {MakeError(ErrorId::kWriteError, {"/o/log.txt"}, FailureOf(ENOSPC)),
       "Stream write error (/o/log.txt): No space left on device",
       "Не удалось записать файл /o/log.txt: на диске нет места.",
       "Could not write file /o/log.txt: no space left on the disk."},
      {MakeError(ErrorId::kFolderNotFound, {"/site"}), "File not found", "Папка не найдена: /site",
       "Folder not found: /site"},
      {MakeError(ErrorId::kCannotCreate, {"/o/a.htm"}, MakeError(ErrorId::kIsTheSource, {})),
       "Cannot create file \"/o/a.htm\". The output file is the source file itself",
       "Не удалось создать файл /o/a.htm: копия легла бы на саму исходную страницу.",
       "Could not create file /o/a.htm: the copy would overwrite the source page itself."},
      {MakeError(ErrorId::kNoOutputFolder, {}), "Не указан каталог сохраненных файлов",
       "Не указан каталог сохраненных файлов.", "No output folder is given."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.error.logged, c.logged);
    EXPECT_EQ(c.error.Shown(Language::kRussian), c.shown);
    EXPECT_EQ(c.error.Shown(Language::kEnglish), c.english);
    // An English log takes the English text; a Russian one keeps its stored text.
    EXPECT_EQ(c.error.Logged(Language::kEnglish), c.english);
    EXPECT_EQ(c.error.Logged(Language::kRussian), c.logged);
  }
  ErrorText two = cases[0].error;
  two.AddLine(cases[1].error);
  EXPECT_EQ(two.shown, cases[0].shown + "\n" + cases[1].shown);
  EXPECT_EQ(two.english, cases[0].english + "\n" + cases[1].english);
}

// Every row, and every cause, has its text in both languages, each with the same
// placeholders: a value filled in one language is filled in the other.
TEST(ErrorTexts, EveryRowHasBothLanguagesWithTheSamePlaceholders) {
  const auto placeholders = [](std::string_view text) {
    std::string found;
    for (std::size_t at = text.find('%'); at != std::string_view::npos;
         at = text.find('%', at + 2)) {
      found += text.substr(at, 2);
    }
    return found;
  };
  for (const ErrorRow& row : kErrors) {
    EXPECT_FALSE(row.shown.English().empty()) << row.shown.Russian();
    EXPECT_EQ(placeholders(row.shown.Russian()), placeholders(row.shown.English()))
        << row.shown.Russian();
  }
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
#ifdef EDQUOT  // POSIX's alone
      {EDQUOT, "исчерпана дисковая квота"},
#endif
      {ENOTDIR, "часть пути не является папкой"},
      {EEXIST, "файл с таким именем уже есть"},
      {ENAMETOOLONG, "слишком длинное имя"},
      {EMFILE, "открыто слишком много файлов"},
      {EIO, "ошибка ввода-вывода"},
      {ELOOP, "ссылки на пути замкнуты в круг"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CauseWords(FailureOf(c.error), Language::kRussian), c.words) << c.error;
    EXPECT_NE(CauseWords(FailureOf(c.error), Language::kEnglish), c.words) << c.error;
  }
  EXPECT_EQ(CauseWords(FailureOf(EXDEV), Language::kRussian),
            std::string("ошибка системы (") + std::strerror(EXDEV) + ")");
  EXPECT_EQ(CauseWords(FailureOf(EACCES), Language::kEnglish), "permission denied");
  EXPECT_EQ(CauseWords(FailureOf(EXDEV), Language::kEnglish),
            std::string("system error (") + std::strerror(EXDEV) + ")");
}

TEST(ErrorTexts, AnExceptionCarriesBoth) {
  const ProgramError error(MakeError(ErrorId::kFolderNotFound, {"/site"}));
  EXPECT_STREQ(error.what(), "File not found");
  EXPECT_EQ(ShownText(error, Language::kRussian), "Папка не найдена: /site");
  EXPECT_EQ(ShownText(error, Language::kEnglish), "Folder not found: /site");
  EXPECT_EQ(ShownText(std::runtime_error("plain"), Language::kEnglish), "plain");
  // Memory that runs out is said in the user's words, not as the library's "std::bad_alloc".
  EXPECT_EQ(ShownText(std::bad_alloc(), Language::kRussian), "Недостаточно памяти.");
  EXPECT_EQ(ShownText(std::bad_alloc(), Language::kEnglish), "Not enough memory.");
}

}  // namespace
}  // namespace varnow
