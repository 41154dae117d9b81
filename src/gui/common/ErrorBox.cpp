// SPDX-License-Identifier: MIT
#include "ErrorBox.h"

#include <QMessageBox>
#include <QPushButton>

#include "ApplicationTitle.h"

namespace varnow {
namespace {

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, ApplicationTitle(), text, QMessageBox::Ok, parent);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.setTextFormat(Qt::PlainText);  // a name or a log line with "<...>" in it, as it stands
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
  QMessageBox box(QMessageBox::Question, ApplicationTitle(), message, QMessageBox::NoButton,
                  parent);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.setTextFormat(Qt::PlainText);
  QPushButton* yes = box.addButton(action, QMessageBox::AcceptRole);
  QPushButton* no = box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
  box.setDefaultButton(no);  // Enter never replaces a pair by accident
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

QString WithFullStop(const QString& message) {
  return message.endsWith(QLatin1Char('.')) ? message : message + QLatin1Char('.');
}

void ShowErrorBox(QWidget* parent, const QString& message) {
  ShowBox(parent, QMessageBox::Critical, WithFullStop(message));
}

void ShowHintBox(QWidget* parent, const QString& message) {
  ShowBox(parent, QMessageBox::Information, message);
}

}  // namespace varnow
