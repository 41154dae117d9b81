// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "ErrorBox.h"

class QPushButton;

#include <memory>

namespace varnow {
class MainWindow;
class Program;
}  // namespace varnow

namespace varnow::test {

// Messages the windows meant to show, kept instead of shown.
struct RecordedMessages {
  QStringList errors;
  QStringList hints;
  QStringList offers;         // "message | action"
  QStringList questions;      // "message | action"
  bool acceptOffers = false;  // the answer to an offer or a question: its action chosen, or not
  // Messages that write into this record; it must outlive every window that got them.
  UserMessages Sink();
};

// Runs `answer` with the next modal window as soon as one is shown (checking every few
// milliseconds, giving up after some seconds). Arm it before the call that opens the window,
// so that the test never waits on a dialog.
void WhenModalShown(std::function<void(QWidget*)> answer);

// The child of `parent` with the object name, failing the test when there is none.
template <typename T>
T* Find(const QObject* parent, const QString& name) {
  T* child = parent->findChild<T*>(name);
  if (child == nullptr) {
    qFatal("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
  }
  return child;
}

// The visible push button of `window` that lies outside it, once a button in a scrolled part
// has been scrolled to; null when every one is whole inside.
QPushButton* ButtonCutOff(QWidget* window);

// A program over the settings file varnow.ini in `folder`, its output folder set to
// `folder`/out and a one-page site, `folder`/site, in the folder field.
std::unique_ptr<Program> ProgramOnASite(const QString& folder, RecordedMessages& messages);

// Waits until the window's run (and any run it led to) has ended; false if it never does.
bool RunEnds(MainWindow& window);

// Waits until the pages asked for in the change viewer are shown; false if they never are.
bool ViewersShown(MainWindow& window);

// Files made and read byte for byte, folders made as needed.
void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

// Writes a settings file from UTF-8 text, stored as the program stores it (cp1251).
void WriteSettings(const QString& path, const QString& text);
// The settings file's text as the program stores it (cp1251), as UTF-8.
QString SettingsText(const QString& path);
// The "Key=Value" lines of one section of the settings file, in file order.
QStringList SectionLines(const QString& path, const QString& section);

}  // namespace varnow::test
