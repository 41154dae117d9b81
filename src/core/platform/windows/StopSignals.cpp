// SPDX-License-Identifier: MIT
#include "platform/StopSignals.h"

#include <windows.h>

namespace varnow {
namespace {

// The watcher the console's handler tells; set while one lives (see StopSignals.h).
std::atomic<StopSignals*> watcher{nullptr};

BOOL WINAPI OnConsoleEvent(DWORD event) {
  StopSignals* const to = watcher.load();
  if (to == nullptr) {
    return FALSE;
  }
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      to->Receive(kInterrupt);
      return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT: {
      to->Receive(event == CTRL_CLOSE_EVENT ? kHangUp : kTerminate);
      // Windows ends the process when this returns: the run is given the few seconds Windows
      // allows to save log.txt, the time the program's end takes.
      for (int i = 0; i < 45 && watcher.load() != nullptr; ++i) {
        ::Sleep(100);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

StopSignals::StopSignals(int exitBase) : exitBase_(exitBase) {
  watcher.store(this);
  ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

StopSignals::~StopSignals() {
  ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
  watcher.store(nullptr);
}

}  // namespace varnow
