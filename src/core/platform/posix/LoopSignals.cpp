// SPDX-License-Identifier: MIT
#include "platform/LoopSignals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#if defined(__linux__)
#include <sys/signalfd.h>
#endif

namespace varnow {
namespace {

sigset_t StopSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

}  // namespace

void BlockLoopSignals() {
  const sigset_t set = StopSet();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

LoopSignals::LoopSignals() {
  const sigset_t set = StopSet();
#if defined(__linux__)
  fd_ = ::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
#endif
  if (fd_ < 0) {
    // Nothing reads them: they keep their usual effect, even where the program blocked them.
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    return;
  }
  sigset_t previous;
  pthread_sigmask(SIG_BLOCK, &set, &previous);
  unblockAtEnd_ = sigismember(&previous, SIGTERM) == 0;
}

LoopSignals::~LoopSignals() {
  if (fd_ < 0) {
    return;
  }
  ::close(fd_);
  if (unblockAtEnd_) {
    const sigset_t set = StopSet();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  }
}

int LoopSignals::Next() {
#if defined(__linux__)
  signalfd_siginfo info{};
  if (fd_ >= 0 && ::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    return static_cast<int>(info.ssi_signo);
  }
#endif
  return 0;
}

}  // namespace varnow
