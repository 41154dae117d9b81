// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include "platform/LoopSignals.h"

class QSocketNotifier;

namespace varnow {

// SIGTERM and SIGHUP (the session ending, the terminal closing) turned into a Qt signal, so
// that the window ends as when it is closed: a run stops with log.txt saved, and the settings
// are written. The signals are read from the platform's descriptor in the event loop (see
// platform/LoopSignals.h); where the system has none, nothing is watched.
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

  LoopSignals signals_;
  QSocketNotifier* notifier_ = nullptr;
  int received_ = 0;
};

}  // namespace varnow
