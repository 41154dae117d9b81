// SPDX-License-Identifier: MIT
// One run in the window, offscreen, as the end-to-end benchmark starts it:
//   BenchWindowRun SETTINGS FOLDER
// SETTINGS names the output folder and the switches. Prints "<wall seconds> <longest stall ms>
// <log pane lines>": the wall time of the run, and the longest gap between two ticks of a
// timer that asks the event loop to run every 5 ms, from the press of Execute to the run's end.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

#include "LogPane.h"
#include "MainWindow.h"
#include "Program.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  if (argc != 3) {
    std::fputs("usage: BenchWindowRun SETTINGS FOLDER\n", stderr);
    return 2;
  }
  int errors = 0;
  varnow::UserMessages messages;
  messages.error = [&errors](QWidget*, const QString& text) {
    ++errors;
    std::fprintf(stderr, "error: %s\n", qPrintable(text));
  };
  messages.hint = messages.error;
  messages.offer = [&errors](QWidget*, const QString& text, const QString&) {
    ++errors;
    std::fprintf(stderr, "error: %s\n", qPrintable(text));
    return false;
  };
  varnow::Program program(argv[1], messages);
  program.Show();
  program.Window().findChild<QLineEdit*>(QStringLiteral("folderField"))->setText(argv[2]);

  QElapsedTimer sinceTick;
  qint64 longestStall = 0;
  QTimer ticker;
  ticker.setInterval(5);
  QObject::connect(&ticker, &QTimer::timeout,
                   [&] { longestStall = std::max(longestStall, sinceTick.restart()); });

  QElapsedTimer wall;
  QTimer::singleShot(0, [&] {
    ticker.start();
    sinceTick.start();
    wall.start();
    program.Window().findChild<QToolButton*>(QStringLiteral("executeButton"))->click();
    const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    // The gap from the last tick to the end of the run counts as well.
    longestStall = std::max(longestStall, sinceTick.elapsed());
    const auto* pane = program.Window().findChild<varnow::LogPane*>(QStringLiteral("logPane"));
    std::printf("%.3f %lld %zu\n", seconds, static_cast<long long>(longestStall),
                pane->LineCount());
    QCoreApplication::exit(errors == 0 ? 0 : 1);
  });
  return QApplication::exec();
}
