// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "cleaning/ProcedureId.h"
#include "control/StopToken.h"
#include "document/Document.h"
#include "messages/LoggedChange.h"

namespace varnow {

// What a cleaning procedure works with: the document text, the log it reports each change to,
// and the stop request it polls where it lets the host handle its events.
// The procedures keep no state of their own; everything they touch is reached from here.
class CleaningContext {
 public:
  // Receives each change as it is logged.
  using LogSink = std::function<void(const LoggedChange& change)>;
  CleaningContext(Document& docText, const StopToken& stop, LogSink logSink)
      : document_(docText), stop_(stop), logSink_(std::move(logSink)) {}

  Document& Text() { return document_; }
  bool StopFlag() const { return stop_.Stopped(); }

  // The procedure running, which the changes logged from now on are made by.
  void SetProcedure(ProcedureId procedure) { procedure_ = procedure; }

  // Reports a change to the page at `path`, made at `position`; `name` is the value of the
  // message's %s, where it has one.
  void LogChange(std::string_view path, MessageId message, Pos position,
                 std::string_view name = {}) {
    ++changeCount_;
    if (logSink_) {
      logSink_({path, procedure_, message, name, position});
    }
  }
  // Lets the host handle pending events (a Stop among them).
  void PumpMessages() { stop_.Poll(); }

  // Changes logged through this context so far. Every change to the text is logged, so a pass
  // that leaves this count alone has left the text alone.
  std::uint64_t ChangeCount() const { return changeCount_; }

 private:
  Document& document_;
  const StopToken& stop_;
  LogSink logSink_;
  std::uint64_t changeCount_ = 0;
  ProcedureId procedure_ = ProcedureId::kScript;
};

}  // namespace varnow
