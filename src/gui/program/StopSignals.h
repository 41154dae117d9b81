// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <csignal>

class QSocketNotifier;

namespace varnow {

// SIGTERM and SIGHUP (the session ending, the terminal closing) turned into a Qt signal, so
// that the window ends as when it is closed: a run stops with log.txt saved, and the settings
// are written. The signals are blocked in the thread that makes this object (make it before
// other threads start) and read from a descriptor in the event loop: no handler, no global.
// Where the system has no such descriptor, the signals keep their usual effect.
class StopSignals : public QObject {
  Q_OBJECT

 public:
  explicit StopSignals(QObject* parent = nullptr);
  ~StopSignals() override;

  int Received() const { return received_; }  // the last signal received, 0 if none

 signals:
  void received(int signal);

 private:
  void Read();

  sigset_t set_{};
  sigset_t previous_{};
  int fd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  int received_ = 0;
};

}  // namespace varnow
