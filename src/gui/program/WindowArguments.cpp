// SPDX-License-Identifier: MIT
#include "WindowArguments.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include "Version.h"

namespace varnow {

WindowArguments ParseWindowArguments(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Cleans every .htm/.html file under a folder, in a window: scripts, styles, span and\n"
      "font tags, Word markup, banner blocks, attributes of table, body and p tags, new-window\n"
      "targets and mouse-over handlers. The same batch runs from a terminal with varnow-cli."));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Show this help and exit."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Show the version and exit."));
  parser.addOption(help);
  parser.addOption(version);
  parser.addPositionalArgument(QStringLiteral("FOLDER"),
                               QStringLiteral("The folder to clean, put in the folder field."),
                               QStringLiteral("[FOLDER]"));
  WindowArguments result;
  if (!parser.parse(arguments)) {
    result.printed =
        QStringLiteral("varnow: %1\nTry 'varnow --help' for more.\n").arg(parser.errorText());
    result.exitStatus = 2;
    return result;
  }
  if (parser.isSet(help)) {
    // Read before any application object exists, the parser cannot know the program's name:
    // the usage line is the program's own.
    const QString text = parser.helpText();
    result.printed = QStringLiteral("Usage: varnow [options] [FOLDER]") +
                     text.mid(text.indexOf(QLatin1Char('\n')));
    return result;
  }
  if (parser.isSet(version)) {
    result.printed = QStringLiteral("Varnow %1\n").arg(QString::fromLatin1(version::kProduct));
    return result;
  }
  const QStringList folders = parser.positionalArguments();
  if (folders.size() > 1) {
    result.printed = QStringLiteral(
                         "varnow: one FOLDER only, got %1\nTry 'varnow --help' for "
                         "more.\n")
                         .arg(folders.size());
    result.exitStatus = 2;
    return result;
  }
  if (!folders.isEmpty()) {
    result.folder = QDir::toNativeSeparators(QFileInfo(folders.front()).absoluteFilePath());
  }
  return result;
}

}  // namespace varnow
