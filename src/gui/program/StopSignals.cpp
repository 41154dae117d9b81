// SPDX-License-Identifier: MIT
#include "StopSignals.h"

#include <QSocketNotifier>

namespace varnow {

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
  if (signals_.Descriptor() < 0) {
    return;
  }
  notifier_ = new QSocketNotifier(signals_.Descriptor(), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &StopSignals::Read);
}

StopSignals::~StopSignals() {
  delete notifier_;  // before the descriptor it watches is closed
}

void StopSignals::Read() {
  for (int signal = signals_.Next(); signal != 0; signal = signals_.Next()) {
    received_ = signal;
    emit received(received_);
  }
}

}  // namespace varnow
