// SPDX-License-Identifier: MIT
#include <QApplication>
#include <cstdio>

#include "Program.h"
#include "WindowArguments.h"
#include "platform/LoopSignals.h"
#include "platform/ProcessSignals.h"

int main(int argc, char* argv[]) {
  varnow::IgnoreSignalsThatWouldKillARun();
  // The stop signals are read by the window's event loop: blocked here, before Qt starts any
  // thread, so that no thread but the loop's ever takes them.
  varnow::BlockLoopSignals();
  // --help, --version and a wrong command line are answered before any window system is
  // asked for: they work without a display, and never open a second window.
  QStringList words;
  for (int i = 0; i < argc; ++i) {
    words << QString::fromLocal8Bit(argv[i]);
  }
  const varnow::Language language = varnow::ProgramLanguage();
  const varnow::WindowArguments arguments = varnow::ParseWindowArguments(words, language);
  if (arguments.printed) {
    const QByteArray text = arguments.printed->toLocal8Bit();
    std::fputs(text.constData(), arguments.exitStatus == 0 ? stdout : stderr);
    return arguments.exitStatus;
  }
  QApplication application(argc, argv);
  return varnow::RunProgram(arguments.folder, arguments.language.value_or(language));
}
