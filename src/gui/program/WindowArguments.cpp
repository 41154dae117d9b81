// SPDX-License-Identifier: MIT
#include "WindowArguments.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include "Version.h"
#include "messages/CommandLineTexts.h"
#include "text/Format.h"

namespace varnow {
namespace {

// What the window's command line says on a terminal, in either language.
constexpr Texts kDescription{
    "Очищает в окне каждый файл .htm/.html в папке: скрипты, стили, теги span и font,\n"
    "разметку Word, блоки баннеров, атрибуты тегов table, body и p, открытие ссылок в новом\n"
    "окне и обработчики onMouseOver. Та же обработка запускается из терминала: varnow-cli.",
    "Cleans every .htm/.html file under a folder, in a window: scripts, styles, span and\n"
    "font tags, Word markup, banner blocks, attributes of table, body and p tags, new-window\n"
    "targets and mouse-over handlers. The same batch runs from a terminal with varnow-cli."};
constexpr Texts kHelpOption{"Показать эту справку и выйти.", "Show this help and exit."};
constexpr Texts kVersionOption{"Показать версию и выйти.", "Show the version and exit."};
constexpr Texts kLanguageOption{
    "Язык окон: ru или en вместо Language файла настроек и локали.",
    "The windows' language, ru or en, in place of Language of the settings file and the "
    "locale."};
constexpr Texts kFolderArgument{"Папка для очистки, в поле папки.",
                                "The folder to clean, put in the folder field."};
constexpr Texts kUsage{"Использование: varnow [параметры] [FOLDER]",
                       "Usage: varnow [options] [FOLDER]"};
constexpr Texts kOptions{"Параметры:", "Options:"};
constexpr Texts kArguments{"Аргументы:", "Arguments:"};
}  // namespace

WindowArguments ParseWindowArguments(const QStringList& arguments, Language fallback) {
  using namespace command_line;
  std::vector<std::string> words;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    words.push_back(arguments[i].toStdString());
  }
  const Language language = LanguageAsked(words).value_or(fallback);
  const auto say = [language](const Texts& text, std::initializer_list<FormatArg> values = {}) {
    return QString::fromStdString(FormatText(text.In(language), values));
  };
  WindowArguments result;
  const auto wrong = [&](const QString& what) {
    result.printed = QStringLiteral("varnow: %1\n%2\n").arg(what, say(kTryHelp, {"varnow"}));
    result.exitStatus = 2;
    return result;
  };
  QCommandLineParser parser;
  parser.setApplicationDescription(say(kDescription));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, say(kHelpOption));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   say(kVersionOption));
  const QCommandLineOption languageOption(QStringLiteral("language"), say(kLanguageOption),
                                          QStringLiteral("ru|en"));
  parser.addOption(help);
  parser.addOption(version);
  parser.addOption(languageOption);
  parser.addPositionalArgument(QStringLiteral("FOLDER"), say(kFolderArgument),
                               QStringLiteral("[FOLDER]"));
  if (!parser.parse(arguments)) {
    // Told in the program's own words: Qt's own would be English whatever the language.
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
      const QString& name = unknown.front();
      const std::string dashes = name.size() == 1 ? "-" : "--";
      return wrong(say(kUnknownOption, {dashes + name.toStdString()}));
    }
    return wrong(say(kNeedsValue, {"--language"}));
  }
  if (parser.isSet(languageOption)) {
    result.language = LanguageNamed(parser.value(languageOption).toStdString());
    if (!result.language) {
      return wrong(say(kLanguageValue, {"--language", parser.value(languageOption).toStdString()}));
    }
  }
  if (parser.isSet(help)) {
    // Read before any application object exists, the parser cannot know the program's name,
    // and its headings are Qt's English: the usage line and headings are the program's own.
    QString text = parser.helpText();
    text = say(kUsage) + text.mid(text.indexOf(QLatin1Char('\n')));
    text.replace(QStringLiteral("\nOptions:\n"),
                 QLatin1Char('\n') + say(kOptions) + QLatin1Char('\n'));
    text.replace(QStringLiteral("\nArguments:\n"),
                 QLatin1Char('\n') + say(kArguments) + QLatin1Char('\n'));
    result.printed = text;
    return result;
  }
  if (parser.isSet(version)) {
    result.printed = QStringLiteral("Varnow %1\n").arg(QString::fromLatin1(version::kProduct));
    return result;
  }
  const QStringList folders = parser.positionalArguments();
  if (folders.size() > 1) {
    return wrong(say(kOneFolder, {static_cast<std::int64_t>(folders.size())}));
  }
  if (!folders.isEmpty()) {
    result.folder = QDir::toNativeSeparators(QFileInfo(folders.front()).absoluteFilePath());
  }
  return result;
}

}  // namespace varnow
