// SPDX-License-Identifier: MIT
#include "messages/MessageText.h"

#include <vector>

#include "text/Format.h"
#include "text/LoggedName.h"

namespace varnow {

void AppendChangeText(std::string& out, const LoggedChange& change) {
  const std::string_view text = TextOf(change.message);
  // Only a banner's messages name something besides the position.
  if (text.find("%s") != std::string_view::npos) {
    AppendFormatted(out, text, {change.name, change.position});
  } else {
    AppendFormatted(out, text, {change.position});
  }
}

std::string ChangeText(const LoggedChange& change) {
  std::string out;
  AppendChangeText(out, change);
  return out;
}

std::string ChangeLine(const LoggedChange& change) {
  std::string out;
  AppendChangeLine(out, change);
  return out;
}

void AppendChangeLine(std::string& out, const LoggedChange& change) {
  AppendChangeLine(out, LoggedName(change.page), change);
}

void AppendChangeLine(std::string& out, std::string_view loggedPage, const LoggedChange& change) {
  out.reserve(out.size() + loggedPage.size() + 1 + TextOf(change.message).size() +
              change.name.size() + 20);
  out += loggedPage;
  out += ' ';
  AppendChangeText(out, change);
}

std::string NoticeText(const RunNotice& notice) {
  std::vector<FormatArg> values(notice.values.begin(), notice.values.end());
  std::string name;
  if (FirstValueOf(notice.message) == FirstValue::kName && !notice.values.empty()) {
    name = LoggedName(notice.values.front());
    values.front() = name;
  }
  return FormatText(TextOf(notice.message), values);
}

}  // namespace varnow
