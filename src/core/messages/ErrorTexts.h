// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

#include "messages/Language.h"
#include "platform/SystemFailure.h"
#include "text/Format.h"

// The errors a program shows, as a row each: the text logged (log.txt's last line, the
// terminal) and the text shown in the interface (message boxes, the status bar). log.txt is a
// stored format, so its texts stay exactly what they have always been, English ones included;
// the interface's texts are in the interface's language throughout, the cause included.
//
// One punctuation rule for the shown texts: each is a sentence ending in a full stop, unless
// it ends with a path after a colon ("Папка не найдена: /site"), where a stop would read as
// part of the path. A cause (the last %s of a row that has one) is a clause in lower case.
namespace varnow {

enum class ErrorId : std::uint8_t {
  kCannotOpen,          // %s the file, %s why
  kCannotRead,          // %s the file, %s why
  kCannotCreate,        // %s the file, %s why
  kWriteError,          // %s the file, %s why
  kCannotReadLines,     // %s the page, %s why
  kOutOfMemory,         // %s the page
  kNoMemory,            // memory ran out outside any one page
  kPageTooLarge,        // %s the page, %s its size, %s the largest a run cleans
  kThroughLink,         // %s the link: why a copy may not be made
  kIsTheSource,         // why a copy may not be made
  kIsASource,           // why a copy may not be made
  kIsAnotherCopy,       // why a copy may not be made
  kFolderNotFound,      // %s the folder: it, or a folder above it, is not there
  kFolderPathNotFound,  // %s the folder: a folder above it is not there, or is no folder
  kFolderUnusable,      // %s the folder, %s why: it cannot be entered
  kNotAFolder,          // %s the path
  kOutputOntoFolder,    // %s the output folder, %s the folder
  kNoFolder,
  kNoOutputFolder,
  kSettingsNotWritten,  // %s the settings file
  kValueNotCp1251,      // %s the value
  kValueMultiLine,      // %s the value
  kNotASwitch,          // %s the value
  kNotBelowFolder,      // %s the listed page, %s the folder
  kNotAPage,            // %s the listed page
  kNotARegularFile,     // %s the listed page
  kDamaged,             // why a file the program wrote cannot be read back
  kLast = kDamaged,
};

constexpr std::size_t Index(ErrorId id) {
  return static_cast<std::size_t>(id);
}

struct ErrorRow {
  ErrorId id;
  std::string_view logged;  // log.txt's text as it has always been; an English log takes shown's
  Texts shown;
};

// In the order of ErrorId.
inline constexpr std::array<ErrorRow, Index(ErrorId::kLast) + 1> kErrors{{
    {ErrorId::kCannotOpen,
     "Cannot open file \"%s\". %s",
     {"Не удалось открыть файл %s: %s.", "Could not open file %s: %s."}},
    {ErrorId::kCannotRead,
     "Cannot read file \"%s\". %s",
     {"Не удалось прочитать файл %s: %s.", "Could not read file %s: %s."}},
    {ErrorId::kCannotCreate,
     "Cannot create file \"%s\". %s",
     {"Не удалось создать файл %s: %s.", "Could not create file %s: %s."}},
    {ErrorId::kWriteError,
     "Stream write error (%s): %s",
     {"Не удалось записать файл %s: %s.", "Could not write file %s: %s."}},
    {ErrorId::kCannotReadLines,
     "Cannot read back the log lines of \"%s\" from the temporary folder. %s",
     {"Не удалось прочитать из временной папки строки лога страницы %s: %s.",
      "Could not read the log lines of page %s back from the temporary folder: %s."}},
    {ErrorId::kOutOfMemory,
     "Not enough memory to clean file \"%s\"",
     {"Недостаточно памяти, чтобы очистить файл: %s", "Not enough memory to clean the file: %s"}},
    {ErrorId::kNoMemory, "Not enough memory", {"Недостаточно памяти.", "Not enough memory."}},
    // A page refused before it is loaded.
    {ErrorId::kPageTooLarge,
     "%s не обработан: страница в %s байт больше предела в %s байт (память, доступная "
     "обработке, или MaxPageSize / --max-page-size)",
     {"%s не обработан: страница в %s байт больше предела в %s байт (память, доступная "
      "обработке, или MaxPageSize / --max-page-size).",
      "%s not cleaned: the page of %s bytes is larger than the limit of %s bytes (the memory "
      "the cleaning may use, or MaxPageSize / --max-page-size)."}},
    {ErrorId::kThroughLink,
     "The output folder leads through the link \"%s\" into the searched folder",
     {"каталог сохраненных файлов ведет по ссылке %s в папку, которая обрабатывается",
      "the output folder leads through the link %s into the folder being cleaned"}},
    {ErrorId::kIsTheSource,
     "The output file is the source file itself",
     {"копия легла бы на саму исходную страницу",
      "the copy would overwrite the source page itself"}},
    {ErrorId::kIsASource,
     "The output file is a page of this run",
     {"копия легла бы на другую страницу этого запуска",
      "the copy would overwrite another page of this run"}},
    {ErrorId::kIsAnotherCopy,
     "The output file exists as another page's copy",
     {"файл уже записан как копия другой страницы",
      "the file is already written as another page's copy"}},
    {ErrorId::kFolderNotFound, "File not found", {"Папка не найдена: %s", "Folder not found: %s"}},
    {ErrorId::kFolderPathNotFound,
     "Invalid filename",
     {"Папка не найдена: %s", "Folder not found: %s"}},
    // Logged as the system's words alone.
    {ErrorId::kFolderUnusable,
     "%s",
     {"Не удалось открыть папку %s: %s.", "Could not open folder %s: %s."}},
    {ErrorId::kNotAFolder, "Это не папка: %s", {"Это не папка: %s", "Not a folder: %s"}},
    {ErrorId::kOutputOntoFolder,
     "Каталог сохраненных файлов \"%s\" отображает папку \"%s\" на нее саму: копии легли бы "
     "поверх исходных файлов",
     {"Каталог сохраненных файлов %s отображает папку %s на нее саму: копии легли бы поверх "
      "исходных файлов.",
      "The output folder %s maps the folder %s onto itself: the copies would overwrite the "
      "source files."}},
    {ErrorId::kNoFolder,
     "Не указана папка с HTML файлами",
     {"Не указана папка с HTML файлами.", "No folder of HTML files is given."}},
    {ErrorId::kNoOutputFolder,
     "Не указан каталог сохраненных файлов",
     {"Не указан каталог сохраненных файлов.", "No output folder is given."}},
    {ErrorId::kSettingsNotWritten,
     "Unable to write to %s",
     {"Не удалось записать файл настроек: %s", "Could not write the settings file: %s"}},
    {ErrorId::kValueNotCp1251,
     "Значение \"%s\" нельзя сохранить в файле настроек: в кодировке cp1251 нет некоторых "
     "его символов",
     {"Значение «%s» нельзя сохранить в файле настроек: в кодировке cp1251 нет некоторых его "
      "символов.",
      "The value “%s” cannot be stored in the settings file: code page cp1251 lacks some of "
      "its characters."}},
    {ErrorId::kValueMultiLine,
     "Значение \"%s\" нельзя сохранить в файле настроек: оно занимает больше одной строки",
     {"Значение «%s» нельзя сохранить в файле настроек: оно занимает больше одной строки.",
      "The value “%s” cannot be stored in the settings file: it takes more than one line."}},
    {ErrorId::kNotASwitch,
     "'%s' is not a valid boolean value",
     {"Значение «%s» в файле настроек не является ни 0, ни -1 (выключено, включено)",
      "The value “%s” in the settings file is neither 0 nor -1 (off, on)"}},
    // Pages of a list given to the run (--files-from), refused before they are loaded.
    {ErrorId::kNotBelowFolder,
     "%s не обработан: страница не в папке %s",
     {"%s не обработан: страница не в папке %s",
      "%s not cleaned: the page is not in the folder %s"}},
    {ErrorId::kNotAPage,
     "%s не обработан: это не файл .htm или .html",
     {"%s не обработан: это не файл .htm или .html.",
      "%s not cleaned: it is not an .htm or .html file."}},
    {ErrorId::kNotARegularFile,
     "%s не обработан: это не обычный файл",
     {"%s не обработан: это не обычный файл.", "%s not cleaned: it is not a regular file."}},
    {ErrorId::kDamaged, "файл поврежден", {"файл поврежден", "the file is damaged"}},

}};

constexpr bool ErrorsInIdOrder() {
  for (std::size_t i = 0; i < kErrors.size(); ++i) {
    if (Index(kErrors[i].id) != i) {
      return false;
    }
  }
  return true;
}
static_assert(ErrorsInIdOrder(), "each ErrorId has its row, in the order of the ids");

// An error as its texts: the logged one and the interface's in either language.
struct ErrorText {
  std::string logged;   // log.txt's, in Russian (its stored texts)
  std::string shown;    // the interface's in Russian
  std::string english;  // the interface's in English, and an English log's

  bool empty() const { return logged.empty() && shown.empty() && english.empty(); }
  const std::string& Shown(Language language) const {
    return language == Language::kRussian ? shown : english;
  }
  const std::string& Logged(Language logLanguage) const {
    return logLanguage == Language::kRussian ? logged : english;
  }
  // Another error after this one, on a line of its own in every text.
  void AddLine(const ErrorText& next);
};

// The row's texts with `values` in both; the logged row ignores a value it has no place for
// (kFolderNotFound logs no path).
ErrorText MakeError(ErrorId id, std::initializer_list<std::string_view> values);
// The same with a cause as the last value: the system's words in the logged text, the
// program's own in the shown one.
ErrorText MakeError(ErrorId id, std::initializer_list<std::string_view> values,
                    const SystemFailure& cause);
ErrorText MakeError(ErrorId id, std::initializer_list<std::string_view> values,
                    const ErrorText& cause);

// The program's own words for a failure: for the common errors its own ("нет места на диске"),
// else the system's words in brackets after a general one.
std::string CauseWords(const SystemFailure& failure, Language language);

// An exception that ends an operation and carries its texts: what() is the logged text.
class ProgramError : public std::runtime_error {
 public:
  explicit ProgramError(ErrorText text)
      : std::runtime_error(text.logged),
        shown_(std::move(text.shown)),
        english_(std::move(text.english)) {}
  const std::string& Shown(Language language) const {
    return language == Language::kRussian ? shown_ : english_;
  }
  ErrorText Text() const { return {what(), shown_, english_}; }

 private:
  std::string shown_;
  std::string english_;
};

// What the interface shows of any exception: the shown text of a ProgramError, else its
// what().
std::string ShownText(const std::exception& e, Language language);
// Every text of any exception: a ProgramError's own, else what() in each.
ErrorText TextOf(const std::exception& e);

}  // namespace varnow
