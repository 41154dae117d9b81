// SPDX-License-Identifier: MIT
#include "WindowArguments.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include "InterfaceLanguage.h"
#include "Version.h"

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
constexpr Texts kUnknownOption{"неизвестный параметр %s", "unknown option %s"};
constexpr Texts kLanguageValue{"--language принимает ru или en, а не «%s»",
                               "--language takes ru or en, not '%s'"};
constexpr Texts kNeedsValue{"параметру %s нужно значение", "option %s needs a value"};
constexpr Texts kOneFolder{"нужна одна папка FOLDER, указано %s", "one FOLDER only, got %s"};
constexpr Texts kTryHelp{"Подробнее: varnow --help", "Try 'varnow --help' for more."};

// The language --language names, before the command line is read whole: what is wrong with it
// is then told in that language.
std::optional<Language> LanguageAsked(const QStringList& arguments) {
  std::optional<Language> asked;
  for (qsizetype i = 1; i < arguments.size() && arguments[i] != QStringLiteral("--"); ++i) {
    std::optional<Language> named;
    if (arguments[i].startsWith(QStringLiteral("--language="))) {
      named = LanguageNamed(arguments[i].mid(11).toStdString());
    } else if (arguments[i] == QStringLiteral("--language") && i + 1 < arguments.size()) {
      named = LanguageNamed(arguments[++i].toStdString());
    }
    asked = named ? named : asked;
  }
  return asked;
}

}  // namespace

WindowArguments ParseWindowArguments(const QStringList& arguments, Language fallback) {
  const Language language = LanguageAsked(arguments).value_or(fallback);
  const auto say = [language](const Texts& text, const QString& value = {}) {
    return FromUtf8(text.In(language)).replace(QStringLiteral("%s"), value);
  };
  WindowArguments result;
  const auto wrong = [&](const QString& what) {
    result.printed = QStringLiteral("varnow: %1\n%2\n").arg(what, say(kTryHelp));
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
      return wrong(say(kUnknownOption,
                       (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name));
    }
    return wrong(say(kNeedsValue, QStringLiteral("--language")));
  }
  if (parser.isSet(languageOption)) {
    result.language = LanguageNamed(parser.value(languageOption).toStdString());
    if (!result.language) {
      return wrong(say(kLanguageValue, parser.value(languageOption)));
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
    return wrong(say(kOneFolder, QString::number(folders.size())));
  }
  if (!folders.isEmpty()) {
    result.folder = QDir::toNativeSeparators(QFileInfo(folders.front()).absoluteFilePath());
  }
  return result;
}

}  // namespace varnow
