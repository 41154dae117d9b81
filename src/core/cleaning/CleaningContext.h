#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "document/Document.h"
#include "text/Format.h"

namespace varnow {

// What a cleaning procedure works with: the document text, the stop request it may poll,
// the log it reports each change to, and the pump that lets the host handle its events.
// The procedures keep no state of their own; everything they touch is reached from here.
class CleaningContext {
 public:
  // Receives one complete log line: the path immediately followed by the filled message.
  using LogSink = std::function<void(std::string line)>;
  // Lets the host handle pending events; may set the stop flag.
  using Pump = std::function<void()>;

  CleaningContext(Document& docText, const bool& stopFlag, LogSink logSink, Pump pump)
      : document_(docText), stopFlag_(stopFlag), logSink_(std::move(logSink)),
        pump_(std::move(pump)) {}

  Document& Text() { return document_; }
  bool StopFlag() const { return stopFlag_; }

  // Appends `path` + `message` with its placeholders filled. Every message begins with a space.
  void LogChange(std::string_view path, std::string_view message,
                 std::initializer_list<FormatArg> values);
  void PumpMessages();

  // Changes logged through this context so far. Every change to the text is logged, so a pass
  // that leaves this count alone has left the text alone.
  std::uint64_t ChangeCount() const { return changeCount_; }

 private:
  Document& document_;
  const bool& stopFlag_;
  LogSink logSink_;
  Pump pump_;
  std::uint64_t changeCount_ = 0;
};

}  // namespace varnow
