// SPDX-License-Identifier: MIT
#include <QApplication>
#include <csignal>

#include "Program.h"
#include "platform/ProcessSignals.h"

int main(int argc, char* argv[]) {
  varnow::IgnoreSignalsThatWouldKillARun();
  // The stop signals are read by the window's event loop: blocked here, before Qt starts any
  // thread, so that no thread but the loop's ever takes them.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTERM);
  sigaddset(&stop, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);
  QApplication application(argc, argv);
  return varnow::RunProgram();
}
