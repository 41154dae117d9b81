// SPDX-License-Identifier: MIT
#include "support/CleaningHarness.h"

#include <gtest/gtest.h>

#include "messages/MessageText.h"
#include "text/Format.h"

namespace varnow::test {

std::unique_ptr<Document> MakeProgramDocument() {
  return NewDocument();
}

CleaningHarness::CleaningHarness(std::string_view text, std::unique_ptr<Document> doc)
    : doc_(std::move(doc)),
      stop_([this] {
        ++pumps_;
        if (pumps_ == stopAtPump_) {
          stop_.Stop();
        }
        if (onPump_) {
          onPump_(pumps_);
        }
        return false;
      }),
      ctx_(*doc_, stop_,
           [this](const LoggedChange& change) { lines_.push_back(ChangeLine(change)); }) {
  doc_->Assign(std::string(text));
}

std::vector<std::string> CleaningHarness::Messages() const {
  std::vector<std::string> out;
  for (const std::string& line : lines_) {
    EXPECT_EQ(line.substr(0, kPath.size()), kPath) << line;
    out.push_back(line.substr(kPath.size()));
  }
  return out;
}

Cleaned CleanWith(std::string_view text, const std::function<void(CleaningContext&)>& clean) {
  CleaningHarness h(text);
  clean(h.Ctx());
  return {h.Text(), h.Messages()};
}

std::string Msg(std::string_view message, long long position) {
  return FormatText(message, {static_cast<std::int64_t>(position)});
}

std::string Msg(std::string_view message, std::string_view text, long long position) {
  return FormatText(message, {text, static_cast<std::int64_t>(position)});
}

}  // namespace varnow::test
