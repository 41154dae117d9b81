// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "messages/Language.h"

namespace varnow {

// What the window's command line asks: `varnow [FOLDER]` fills the folder field; --help and
// --version print and end the program without a window, as a wrong command line does.
struct WindowArguments {
  std::optional<QString> folder;     // absolute
  std::optional<Language> language;  // --language
  // Printed instead of showing the window, with the exit status: on standard output for
  // --help and --version (0), on standard error for a wrong command line (2).
  std::optional<QString> printed;
  int exitStatus = 0;
};

// `arguments` as QCoreApplication::arguments() gives them, the program first. The help and
// what is wrong are told in the language --language names, else in `language`.
WindowArguments ParseWindowArguments(const QStringList& arguments,
                                     Language language = Language::kEnglish);

}  // namespace varnow
