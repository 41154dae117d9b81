#include "ErrorBox.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace varnow {
namespace {

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.exec();
}

}  // namespace

UserMessages MessageBoxes() {
  return {ShowErrorBox, ShowHintBox};
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
