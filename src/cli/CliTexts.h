// SPDX-License-Identifier: MIT
#pragma once

#include "messages/CommandLineTexts.h"
#include "messages/Language.h"

// What the command line says besides a run's own texts, in both languages: its help, what is
// wrong with a command line, its progress, the summary's table and --explain's lines (what the
// window's command line says alike is in messages/CommandLineTexts.h).
namespace varnow::cli::texts {

using command_line::kLanguageValue;
using command_line::kNeedsValue;
using command_line::kOneFolder;
using command_line::kTryHelp;
using command_line::kUnknownOption;

// ---- What is wrong with a command line.
inline constexpr Texts kJobsValue{"--jobs принимает число страниц от 1 до 1024, а не «%s»",
                                  "--jobs takes a number of pages from 1 to 1024, not '%s'"};
inline constexpr Texts kLogEncodingValue{"--log-encoding принимает cp1251 или utf-8, а не «%s»",
                                         "--log-encoding takes cp1251 or utf-8, not '%s'"};
inline constexpr Texts kMaxPageSizeValue{
    "--max-page-size принимает размер в байтах (можно K, M, G и T), а не «%s»",
    "--max-page-size takes a size in bytes (K, M, G and T allowed), not '%s'"};
inline constexpr Texts kSummaryValue{"--summary принимает table или json, а не «%s»",
                                     "--summary takes table or json, not '%s'"};
inline constexpr Texts kTakesNoValue{"параметр %s не принимает значения",
                                     "option %s takes no value"};
inline constexpr Texts kExplainNoFolder{"--explain FILE указывается вместо FOLDER",
                                        "--explain FILE takes the place of FOLDER"};
inline constexpr Texts kNoFolder{"не указана папка FOLDER", "no FOLDER given"};
inline constexpr Texts kShardValue{
    "--shard принимает K/N, номер части от 0 до N-1 и число частей, а не «%s»",
    "--shard takes K/N, the shard's number from 0 to N-1 and the number of shards, not '%s'"};
inline constexpr Texts kLogValue{"--log принимает путь к файлу, но не к странице .htm/.html",
                                 "--log takes a file's path, not that of an .htm/.html page"};
inline constexpr Texts kNullWithoutList{"-0 (--null) действует только с --files-from",
                                        "-0 (--null) works with --files-from only"};
inline constexpr Texts kUnknownProcedure{
    "неизвестная процедура «%s» в --only; имена: %s, либо all, либо none",
    "unknown procedure '%s' in --only; the names are %s, or all, or none"};

// ---- A run.
inline constexpr Texts kNoOutputFolder{
    "Не указан каталог сохраненных файлов: StorePatch в %s пуст; укажите --output DIR",
    "No output folder is given: StorePatch in %s is empty; give --output DIR"};
inline constexpr Texts kCannotReadList{"Не удалось прочитать список страниц %s: %s.",
                                       "Could not read the list of pages %s: %s."};
inline constexpr Texts kStandardInput{"(стандартный ввод)", "(standard input)"};
inline constexpr Texts kProgress{"Обработано файлов: %d из %d", "Files processed: %d of %d"};
inline constexpr Texts kOutputFailed{
    "varnow-cli: стандартный вывод не работает (%s): строки лога больше не печатаются; "
    "обработка продолжается, log.txt записывается",
    "varnow-cli: standard output failed (%s): log lines are no longer printed; the run goes "
    "on and log.txt is written"};
inline constexpr Texts kNoMemory{"varnow-cli: недостаточно памяти",
                                 "varnow-cli: not enough memory"};

// ---- The summary's table.
inline constexpr Texts kSummaryTitle{"Сводка", "Summary"};
inline constexpr Texts kSummaryPages{
    "Страниц найдено %s: изменено %s, без изменений %s, не записано %s, не достигнуто %s%s",
    "Pages found %s: changed %s, unchanged %s, not written %s, not reached %s%s"};
// After the pages' figures, where some were as the last run left them.
inline constexpr Texts kSummaryUpToDate{", как после прошлого запуска %s",
                                        ", up to date since the last run %s"};
inline constexpr Texts kSummaryBytes{"Байт на входе %s, на выходе %s%s", "Bytes in %s, out %s%s"};
inline constexpr Texts kColumnProcedure{"Процедура", "Procedure"};
inline constexpr Texts kColumnChanges{"Изменений", "Changes"};
inline constexpr Texts kColumnPages{"Страниц", "Pages"};
inline constexpr Texts kColumnRemoved{"Удалено байт", "Bytes removed"};
inline constexpr Texts kColumnInserted{"Вставлено байт", "Bytes put in"};
inline constexpr Texts kMostChanged{"Больше всего изменений:", "Changed most:"};
inline constexpr Texts kSummaryTime{"Время: %s", "Time: %s"};
inline constexpr Texts kSummaryStopped{", прервано пользователем", ", stopped by the user"};

// ---- --explain.
inline constexpr Texts kEncodingLine{"Кодировка: ", "Encoding: "};
inline constexpr Texts kChangeCount{"Изменений: %d", "Changes: %d"};

// ---- The help: %s the settings file the program would use, %s the names --only takes.
inline constexpr Texts kUsage{
    "Использование: varnow-cli [--settings FILE] [--output DIR] [--only LIST] [--jobs N]\n"
    "                  [--log-encoding cp1251|utf-8] [--log-language ru|en] [--language ru|en]\n"
    "                  [--json] [--summary[=json]] [--max-page-size SIZE] [--quiet]\n"
    "                  [--changed] [--dry-run] [--files-from FILE [-0]] [--log FILE]\n"
    "                  [--shard K/N] FOLDER\n"
    "       varnow-cli [--settings FILE] [--only LIST] --explain PAGE\n"
    "\n"
    "Очищает каждый файл .htm/.html в папке FOLDER процедурами, включенными в файле\n"
    "настроек, и записывает очищенные копии и log.txt в каталог сохраненных файлов,\n"
    "повторяя полный путь каждого файла. Исходные файлы никогда не записываются.\n"
    "\n"
    "Параметры:\n"
    "  --settings FILE  файл настроек (по умолчанию файл настольной программы:\n"
    "                   varnow.ini рядом с программой, если он есть, иначе\n"
    "                   $XDG_CONFIG_HOME/varnow/varnow.ini или ~/.config/varnow/varnow.ini;\n"
    "                   здесь: %s)\n"
    "  --output DIR     каталог сохраненных файлов вместо StorePatch файла настроек\n"
    "  --only LIST      процедуры для запуска вместо переключателей файла настроек:\n"
    "                   имена через запятую из %s,\n"
    "                   либо all, либо none (banner все равно берет баннеры из файла);\n"
    "                   с --only и --output файл настроек не нужен\n"
    "  -j, --jobs N     очищать N страниц одновременно (по умолчанию по числу ядер);\n"
    "                   записывается то же и в том же порядке, что и при --jobs 1\n"
    "  --log-encoding E log.txt в cp1251 (символ, которого в ней нет, пишется как &#NNN;)\n"
    "                   или utf-8 вместо LogEncoding файла настроек (по умолчанию cp1251)\n"
    "  --log-language L язык строк лога: ru или en вместо LogLanguage файла настроек\n"
    "                   (по умолчанию ru); терминал показывает строки так же, как log.txt\n"
    "  --language L     язык сообщений программы: ru или en вместо Language файла\n"
    "                   настроек (по умолчанию по локали: ru для русской, иначе en)\n"
    "  --json           печатать каждое изменение объектом JSON, по одному в строке,\n"
    "                   вместо строки лога (type, page, procedure, message, position);\n"
    "                   пропущенные страницы, остановка и ошибка тоже объекты\n"
    "  --summary[=table|json]\n"
    "                   в конце: что сделано по процедурам (изменения, страницы,\n"
    "                   удалено и вставлено байт), итоги и десять страниц с наибольшим\n"
    "                   числом изменений: таблица в стандартный поток ошибок или один\n"
    "                   объект JSON в стандартный вывод (последним, после --json)\n"
    "  -q, --quiet      не печатать строки лога (log.txt все равно записывается)\n"
    "  --explain PAGE   очистить одну страницу в памяти и напечатать каждое изменение:\n"
    "                   его строку лога, затем строку:столбец в странице с удаленным (-)\n"
    "                   и вставленным (+) текстом; ничего не записывается. Страница\n"
    "                   читается в своей кодировке (метка порядка байтов, charset в\n"
    "                   <meta>, иначе UTF-8, если он правильный, иначе windows-1251),\n"
    "                   названной в первой строке; столбцы считают символы так\n"
    "                   прочитанной строки\n"
    "  --max-page-size SIZE\n"
    "                   не обрабатывать страницу больше SIZE байт (можно K, M, G, T)\n"
    "                   вместо MaxPageSize файла настроек; по умолчанию страница не\n"
    "                   обрабатывается, если ее двойной размер больше памяти, доступной\n"
    "                   обработке (меньшее из физической памяти и ulimit -v)\n"
    "  --changed        очищать только то, что изменилось с прошлого запуска: страница,\n"
    "                   исходный файл, настройки и копия которой такие же, как после\n"
    "                   него (размер, время изменения и ctime, по списку\n"
    "                   .varnow-manifest рядом с log.txt; содержимое не читается), не\n"
    "                   очищается и не записывается, в лог идет строка «PAGE не\n"
    "                   изменен». log.txt такого запуска содержит строки очищенных\n"
    "                   страниц и по строке на каждую неизмененную, а не весь лог\n"
    "                   полного запуска. Каждый запуск записывает этот список заново\n"
    "  --dry-run        весь запуск, его строки и сводка, но ничего не записывается и\n"
    "                   не удаляется: ни копий, ни папок, ни log.txt, ни списка страниц\n"
    "  --files-from FILE\n"
    "                   вместо поиска страницы из списка FILE (- значит стандартный\n"
    "                   ввод), по пути в строке, в его порядке, каждая один раз;\n"
    "                   относительный путь берется от FOLDER; путь не в FOLDER, не\n"
    "                   .htm/.html или не обычного файла пропускается с причиной\n"
    "  -0, --null       пути в списке --files-from разделены байтом NUL (find -print0)\n"
    "  --log FILE       записать log.txt в FILE (список страниц: FILE.manifest)\n"
    "  --shard K/N      только часть K из N (K от 0): страницы, чей путь от FOLDER дает\n"
    "                   хеш FNV-1a 64, равный K по модулю N, так что N процессов (GNU\n"
    "                   parallel, задания кластера) делят дерево без договоренности; у\n"
    "                   части свой лог, log-K-of-N.txt, если не указан --log\n"
    "  -h, --help       показать эту справку и выйти\n"
    "  -V, --version    показать версию и выйти\n"
    "\n"
    "Буквенные параметры можно объединять, значение пишется слитно (-qj3); длинный\n"
    "параметр принимает значение как --name VALUE или --name=VALUE и не сокращается;\n"
    "параметр, указанный дважды, берет последнее значение.\n"
    "\n"
    "Каждая строка лога печатается в стандартный вывод (с буфером, не реже чем раз в\n"
    "0,1 с); ход работы и итоговое состояние идут в стандартный поток ошибок. Ctrl-C\n"
    "останавливает обработку: log.txt все равно сохраняется.\n"
    "\n"
    "Код выхода: 0 после полной обработки, 1 после ошибки, 2 при неверной командной\n"
    "строке, 130 после Ctrl-C (128 + номер сигнала для других сигналов остановки).\n",
    "Usage: varnow-cli [--settings FILE] [--output DIR] [--only LIST] [--jobs N]\n"
    "                  [--log-encoding cp1251|utf-8] [--log-language ru|en] [--language ru|en]\n"
    "                  [--json] [--summary[=json]] [--max-page-size SIZE] [--quiet]\n"
    "                  [--changed] [--dry-run] [--files-from FILE [-0]] [--log FILE]\n"
    "                  [--shard K/N] FOLDER\n"
    "       varnow-cli [--settings FILE] [--only LIST] --explain PAGE\n"
    "\n"
    "Cleans every .htm/.html file under FOLDER with the procedures switched on in the\n"
    "settings file and writes the cleaned copies, and log.txt, into the output folder,\n"
    "mirroring each file's full path. Sources are never written.\n"
    "\n"
    "Options:\n"
    "  --settings FILE  settings file to use (default: the desktop program's own file,\n"
    "                   varnow.ini beside this program where there is one, otherwise\n"
    "                   $XDG_CONFIG_HOME/varnow/varnow.ini or ~/.config/varnow/varnow.ini;\n"
    "                   here: %s)\n"
    "  --output DIR     output folder, in place of StorePatch of the settings file\n"
    "  --only LIST      the procedures to run, in place of the settings file's switches:\n"
    "                   comma-separated names from %s,\n"
    "                   or all, or none (banner still takes the file's banner slots);\n"
    "                   with --only and --output no settings file is needed\n"
    "  -j, --jobs N     clean N pages at once (default: the number of cores); what\n"
    "                   is written, and in which order, is what --jobs 1 writes\n"
    "  --log-encoding E log.txt in cp1251 (a character it lacks written as &#NNN;)\n"
    "                   or utf-8, in place of LogEncoding of the settings file\n"
    "                   (default: cp1251)\n"
    "  --log-language L the log's lines in ru or en, in place of LogLanguage of the\n"
    "                   settings file (default: ru); the terminal shows them as log.txt\n"
    "                   holds them\n"
    "  --language L     the program's own messages in ru or en, in place of Language of\n"
    "                   the settings file (default: by the locale, ru for a Russian one,\n"
    "                   else en)\n"
    "  --json           print each change as a JSON object, one a line, in place of\n"
    "                   its log line (type, page, procedure, message, position);\n"
    "                   skipped pages, a stop and an error are objects too\n"
    "  --summary[=table|json]\n"
    "                   at the end, what the run did by procedure (changes, pages,\n"
    "                   bytes removed and put in), the totals and the ten pages\n"
    "                   changed most: a table on standard error, or one JSON object\n"
    "                   on standard output (the last, after --json's)\n"
    "  -q, --quiet      print no log lines (log.txt is written all the same)\n"
    "  --explain PAGE   clean one page in memory and print each change: its log line,\n"
    "                   then its line:column in the page with the text removed (-)\n"
    "                   and put in (+); nothing is written. The page is read in its\n"
    "                   own encoding (a byte-order mark, its <meta> charset, else\n"
    "                   UTF-8 when valid, else windows-1251), named on the first\n"
    "                   line; columns count the characters of the line so read\n"
    "  --max-page-size SIZE\n"
    "                   refuse a page larger than SIZE bytes (K, M, G, T allowed), in\n"
    "                   place of MaxPageSize of the settings file; by default a page is\n"
    "                   refused when twice its size exceeds the memory a run may use\n"
    "                   (the smaller of the physical memory and ulimit -v)\n"
    "  --changed        clean only what changed since the last run: a page whose\n"
    "                   source, settings and copy are as that run left them (size,\n"
    "                   mtime and ctime, by the list .varnow-manifest beside log.txt;\n"
    "                   no content is read) is neither cleaned nor written, and logged\n"
    "                   as \"PAGE unchanged\". The log.txt of such a run holds the lines\n"
    "                   of the pages cleaned in it and one line for each page\n"
    "                   unchanged, not the full run's log. Every run writes that list\n"
    "                   anew\n"
    "  --dry-run        the whole run, its lines and summary, with nothing written or\n"
    "                   removed: no copies, no folders, no log.txt, no list of pages\n"
    "  --files-from FILE\n"
    "                   in place of the search, the pages listed in FILE (- for\n"
    "                   standard input), one path a line, in its order, each once; a\n"
    "                   relative path is taken from FOLDER; a path not in FOLDER, not\n"
    "                   .htm/.html or not of a regular file is refused with why\n"
    "  -0, --null       the paths of the --files-from list end with a NUL byte\n"
    "                   (find -print0)\n"
    "  --log FILE       write log.txt as FILE (the list of pages: FILE.manifest)\n"
    "  --shard K/N      only shard K of N (K from 0): the pages whose path from FOLDER\n"
    "                   hashes (FNV-1a 64) to K modulo N, so that N processes (GNU\n"
    "                   parallel, a cluster's array jobs) share a tree without talking;\n"
    "                   a shard has a log of its own, log-K-of-N.txt unless --log names it\n"
    "  -h, --help       show this help and exit\n"
    "  -V, --version    show the version and exit\n"
    "\n"
    "Letters may be bundled and take their value attached (-qj3); a long option takes\n"
    "its value as --name VALUE or --name=VALUE and is never abbreviated; an option\n"
    "given twice takes the value given last.\n"
    "\n"
    "Every log line is printed on standard output (buffered, shown at least every\n"
    "0.1 s); progress and the final status go to standard error. Ctrl-C stops the run:\n"
    "log.txt is still saved.\n"
    "\n"
    "Exit status: 0 after a complete run, 1 after an error, 2 for a wrong command line,\n"
    "130 after Ctrl-C (128 + the signal number for other stop signals).\n"};

}  // namespace varnow::cli::texts
