// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <exception>
#include <functional>

class QWidget;

namespace varnow {

// How the windows tell the user something. The program shows message boxes; tests put their
// own functions here, so that no box ever waits for a click.
struct UserMessages {
  using Show = std::function<void(QWidget* parent, const QString& message)>;
  // An error with a way out: true when the user chose the button named `action`.
  using Offer = std::function<bool(QWidget* parent, const QString& message, const QString& action)>;
  Show error;  // an error that ended a handler
  Show hint;   // a request to the user, not an error
  Offer offer;
  // A question before something is done: true when the user chose `action` (else "Отмена").
  Offer ask;
};

// The program's own boxes.
UserMessages MessageBoxes();

// The error box: the application's title as caption, the error icon, the message as
// WithFullStop writes it, one OK button. Returns when the user has closed it.
void ShowErrorBox(QWidget* parent, const QString& message);
// The same box with the information icon.
void ShowHintBox(QWidget* parent, const QString& message);
// The error box with a second button, `action`, beside OK; true when that one was pressed.
// Esc is OK.
bool ShowOfferBox(QWidget* parent, const QString& message, const QString& action);
// The question box: `action` and "Отмена" (the default and Esc); true for `action`.
bool ShowQuestionBox(QWidget* parent, const QString& message, const QString& action);

// The message as the boxes show it, by one rule for every line: a sentence ends with a full
// stop, unless it ends with a path after a colon ("Папка не найдена: /site"), where a stop
// would read as part of the path.
QString WithFullStop(const QString& message);

// What the user is shown of an error: its text in the interface's language.
QString ShownMessage(const std::exception& e);

}  // namespace varnow
