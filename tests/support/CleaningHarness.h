// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cleaning/CleaningContext.h"
#include "document/Document.h"

namespace varnow::test {

// The path every harness logs under; lines are kPath + message.
inline constexpr std::string_view kPath = "/site/index.htm";

// The document the program itself uses.
std::unique_ptr<Document> MakeProgramDocument();

// One document with its stop flag, log and pump, ready for a cleaning procedure.
class CleaningHarness {
 public:
  explicit CleaningHarness(std::string_view text = {},
                           std::unique_ptr<Document> doc = MakeProgramDocument());

  std::string Text() { return std::string(doc_->View()); }
  Document& Doc() { return *doc_; }
  CleaningContext& Ctx() { return ctx_; }

  // The log lines without the path in front (every line must start with it).
  std::vector<std::string> Messages() const;
  const std::vector<std::string>& Lines() const { return lines_; }
  int Pumps() const { return pumps_; }

  // Stops when the pump is called for the k-th time (1-based).
  void StopAtPump(int k) { stopAtPump_ = k; }
  void SetStop() { stop_.Stop(); }
  // Runs at every pump, after counting it.
  void OnPump(std::function<void(int)> hook) { onPump_ = std::move(hook); }

 private:
  std::unique_ptr<Document> doc_;
  std::vector<std::string> lines_;
  int pumps_ = 0;
  int stopAtPump_ = 0;
  std::function<void(int)> onPump_;
  StopToken stop_;
  CleaningContext ctx_;
};

// What one call left: the text and the log messages without the path.
struct Cleaned {
  std::string text;
  std::vector<std::string> messages;
};
Cleaned CleanWith(std::string_view text, const std::function<void(CleaningContext&)>& clean);

// A message filled the way the log writes it: Msg(" удален <script> [%d]", 15).
std::string Msg(std::string_view message, long long position);
std::string Msg(std::string_view message, std::string_view text, long long position);

}  // namespace varnow::test
