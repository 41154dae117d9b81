#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace varnow {

// How the windows tell the user something. The program shows message boxes; tests put their
// own functions here, so that no box ever waits for a click.
struct UserMessages {
  using Show = std::function<void(QWidget* parent, const QString& message)>;
  Show error;  // an error that ended a handler
  Show hint;   // a request to the user, not an error
};

// The program's own boxes.
UserMessages MessageBoxes();

// The error box: the application's title as caption, the error icon, the message with a full
// stop after it, one OK button. Returns when the user has closed it.
void ShowErrorBox(QWidget* parent, const QString& message);
// The same box with the information icon.
void ShowHintBox(QWidget* parent, const QString& message);

// The message as the error box shows it: a full stop is added unless it already ends in one.
QString WithFullStop(const QString& message);

}  // namespace varnow
