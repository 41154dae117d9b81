// SPDX-License-Identifier: MIT
#include "InterfaceLanguage.h"

#include <QCoreApplication>

namespace varnow {

Language InterfaceLanguage() {
  // Translators: the code of the language this catalog is in.
  const QString code = QCoreApplication::translate("varnow::Language", "ru");
  return LanguageNamed(code.toStdString()).value_or(Language::kRussian);
}

QString InInterfaceLanguage(const Texts& text) {
  return FromUtf8(text.In(InterfaceLanguage()));
}

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace varnow
