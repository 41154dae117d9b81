// SPDX-License-Identifier: MIT
// One run in the window, offscreen, as the end-to-end benchmark starts it:
//   BenchWindowRun SETTINGS FOLDER [JOBS [CLOSE_AFTER_MS]]
// SETTINGS names the output folder and the switches; JOBS is the pages cleaned at once (every
// core when 0 or left out). Prints "<wall seconds> <longest stall ms> <log pane lines>
// <exit ms>": the wall time of the run, the longest gap between two ticks of a timer that asks
// the event loop to run every 5 ms, from the press of Execute to a moment after the run's end,
// and how long the program took to end once its window was closed (closed CLOSE_AFTER_MS after
// the press, during the run, when given; else at the end of the run), and then the CPU time
// the run took, all threads, and of it the window's own thread, in milliseconds; "quick" ends
// the line when the program ended without waiting for the pages in progress.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "LogPane.h"
#include "MainWindow.h"
#include "Program.h"

namespace {

// CPU time so far, in milliseconds: of the whole process, all threads (RUSAGE_SELF), or of the
// calling thread (RUSAGE_THREAD).
long long CpuMs(int who = RUSAGE_SELF) {
  rusage usage{};
  ::getrusage(who, &usage);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1000LL + t.tv_usec / 1000; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  if (argc < 3 || argc > 5) {
    std::fputs("usage: BenchWindowRun SETTINGS FOLDER [JOBS [CLOSE_AFTER_MS]]\n", stderr);
    return 2;
  }
  const long jobs = argc > 3 ? std::atol(argv[3]) : 0;
  const long closeAfterMs = argc > 4 ? std::atol(argv[4]) : -1;
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
  auto program = std::make_unique<varnow::Program>(argv[1], messages);
  varnow::MainWindow& window = program->Window();
  if (jobs > 0) {
    window.SetJobs(static_cast<std::size_t>(jobs));
  }
  program->Show();
  window.findChild<QLineEdit*>(QStringLiteral("folderField"))->setText(argv[2]);
  const auto* pane = window.findChild<varnow::LogPane*>(QStringLiteral("logPane"));

  QElapsedTimer sinceTick;
  qint64 longestStall = 0;
  QTimer ticker;
  ticker.setInterval(5);
  QElapsedTimer wall;
  double seconds = 0;
  std::size_t lines = 0;
  long long cpuAtStart = 0;
  long long runCpuMs = 0;
  long long windowCpuAtStart = 0;
  long long windowCpuMs = 0;
  QElapsedTimer sinceClose;
  const auto closeWindow = [&] {
    sinceClose.start();
    window.close();
  };
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    longestStall = std::max(longestStall, sinceTick.restart());
    if (seconds == 0 && !window.Running()) {
      seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
      lines = pane->LineCount();
      runCpuMs = CpuMs() - cpuAtStart;
      windowCpuMs = CpuMs(RUSAGE_THREAD) - windowCpuAtStart;
      if (closeAfterMs < 0) {
        // What follows a run (the summary) is watched a moment longer, then the window closes.
        QTimer::singleShot(300, closeWindow);
      }
    }
  });
  QTimer::singleShot(0, [&] {
    ticker.start();
    sinceTick.start();
    wall.start();
    cpuAtStart = CpuMs();
    windowCpuAtStart = CpuMs(RUSAGE_THREAD);
    window.findChild<QToolButton*>(QStringLiteral("executeButton"))->click();
    if (closeAfterMs >= 0) {
      QTimer::singleShot(static_cast<int>(closeAfterMs), closeWindow);
    }
  });
  bool quick = false;  // the program ended without waiting for its pages in progress
  const auto report = [&] {
    if (seconds == 0) {
      seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
      lines = pane->LineCount();
    }
    const qint64 exitMs = sinceClose.isValid() ? sinceClose.elapsed() : -1;
    std::printf("%.3f %lld %zu %lld %lld %lld%s\n", seconds, static_cast<long long>(longestStall),
                lines, static_cast<long long>(exitMs), runCpuMs, windowCpuMs,
                quick ? " quick" : "");
    std::fflush(stdout);
  };
  // As the program itself ends when its window is closed during a run whose pages in progress
  // keep it waiting.
  window.SetQuickExit([&] {
    quick = true;
    report();
    program->EndNow();
  });
  QApplication::exec();
  ticker.stop();
  program.reset();  // the windows go, the settings are written: part of ending
  report();
  return errors == 0 ? 0 : 1;
}
