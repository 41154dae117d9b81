// SPDX-License-Identifier: MIT
#include "ErrorBox.h"

#include "InterfaceLanguage.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include "ApplicationTitle.h"
#include "messages/ErrorTexts.h"

namespace varnow {
namespace {

bool EndsWithPath(const QString& line) {
  const qsizetype colon = line.lastIndexOf(QStringLiteral(": "));
  if (colon < 0) {
    return false;
  }
  const QString last = line.mid(colon + 2);
  // A path: absolute, on Linux or with a drive.
  return last.startsWith(QLatin1Char('/')) ||
         (last.size() > 2 && last[1] == QLatin1Char(':') &&
          (last[2] == QLatin1Char('\\') || last[2] == QLatin1Char('/')));
}

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, ApplicationTitle(), WithFullStop(text), QMessageBox::Ok, parent);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.setTextFormat(Qt::PlainText);  // a name or a log line with "<...>" in it, as it stands
  // A path in it can be copied.
  box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  box.exec();
}

}  // namespace

UserMessages MessageBoxes() {
  return {ShowErrorBox, ShowHintBox, ShowOfferBox, ShowQuestionBox};
}

bool ShowOfferBox(QWidget* parent, const QString& message, const QString& action) {
  QMessageBox box(QMessageBox::Critical, ApplicationTitle(), WithFullStop(message), QMessageBox::Ok,
                  parent);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.setTextFormat(Qt::PlainText);
  QPushButton* way = box.addButton(action, QMessageBox::ActionRole);
  box.setDefaultButton(way);
  box.setEscapeButton(QMessageBox::Ok);
  box.exec();
  return box.clickedButton() == way;
}

bool ShowQuestionBox(QWidget* parent, const QString& message, const QString& action) {
  QMessageBox box(QMessageBox::Question, ApplicationTitle(), WithFullStop(message),
                  QMessageBox::NoButton, parent);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.setTextFormat(Qt::PlainText);
  QPushButton* yes = box.addButton(action, QMessageBox::AcceptRole);
  QPushButton* no = box.addButton(QCoreApplication::translate("varnow::ErrorBox", "Отмена"),
                                  QMessageBox::RejectRole);
  box.setDefaultButton(no);  // Enter never replaces a pair by accident
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

QString WithFullStop(const QString& message) {
  QStringList lines = message.split(QLatin1Char('\n'));
  for (QString& line : lines) {
    static const QString kEnds = QStringLiteral(".?!:");
    if (!line.isEmpty() && !kEnds.contains(line.back()) && !EndsWithPath(line)) {
      line += QLatin1Char('.');
    }
  }
  return lines.join(QLatin1Char('\n'));
}

QString ShownMessage(const std::exception& e) {
  return QString::fromStdString(ShownText(e, InterfaceLanguage()));
}

void ShowErrorBox(QWidget* parent, const QString& message) {
  ShowBox(parent, QMessageBox::Critical, message);
}

void ShowHintBox(QWidget* parent, const QString& message) {
  ShowBox(parent, QMessageBox::Information, message);
}

}  // namespace varnow
