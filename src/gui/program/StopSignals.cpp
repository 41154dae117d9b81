// SPDX-License-Identifier: MIT
#include "StopSignals.h"

#include <QSocketNotifier>

#include <pthread.h>
#include <unistd.h>

#if defined(__linux__)
#include <sys/signalfd.h>
#endif

namespace varnow {

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
  sigemptyset(&set_);
  sigaddset(&set_, SIGTERM);
  sigaddset(&set_, SIGHUP);
#if defined(__linux__)
  fd_ = ::signalfd(-1, &set_, SFD_CLOEXEC | SFD_NONBLOCK);
#endif
  if (fd_ < 0) {
    // Nothing reads them: they keep their usual effect, even where the program blocked them.
    pthread_sigmask(SIG_UNBLOCK, &set_, nullptr);
    return;
  }
  pthread_sigmask(SIG_BLOCK, &set_, &previous_);
  notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &StopSignals::Read);
}

StopSignals::~StopSignals() {
  if (fd_ < 0) {
    return;
  }
  delete notifier_;
  ::close(fd_);
  pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

void StopSignals::Read() {
#if defined(__linux__)
  signalfd_siginfo info{};
  while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    received_ = static_cast<int>(info.ssi_signo);
    emit received(received_);
  }
#endif
}

}  // namespace varnow
