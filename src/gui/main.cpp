#include <QApplication>

#include "Program.h"
#include "platform/ProcessSignals.h"

int main(int argc, char* argv[]) {
  varnow::IgnoreSignalsThatWouldKillARun();
  QApplication application(argc, argv);
  return varnow::RunProgram();
}
