// SPDX-License-Identifier: MIT
#include "messages/MessageText.h"

#include <vector>

#include "text/Format.h"
#include "text/LoggedName.h"

namespace varnow {

void AppendChangeText(std::string& out, const LoggedChange& change, Language language) {
  const std::string_view text = TextOf(change.message, language);
  // Only a banner's messages name something besides the position.
  if (text.find("%s") != std::string_view::npos) {
    AppendFormatted(out, text, {change.name, change.position});
  } else {
    AppendFormatted(out, text, {change.position});
  }
}

std::string ChangeText(const LoggedChange& change, Language language) {
  std::string out;
  AppendChangeText(out, change, language);
  return out;
}

std::string ChangeLine(const LoggedChange& change, Language language) {
  std::string out;
  AppendChangeLine(out, change, language);
  return out;
}

void AppendChangeLine(std::string& out, const LoggedChange& change, Language language) {
  AppendChangeLine(out, LoggedName(change.page), change, language);
}

void AppendChangeLine(std::string& out, std::string_view loggedPage, const LoggedChange& change,
                      Language language) {
  out.reserve(out.size() + loggedPage.size() + 1 + TextOf(change.message, language).size() +
              change.name.size() + 20);
  out += loggedPage;
  out += ' ';
  AppendChangeText(out, change, language);
}

std::string NoticeText(const RunNotice& notice, Language language) {
  std::vector<FormatArg> values(notice.values.begin(), notice.values.end());
  std::string name;
  if (FirstValueOf(notice.message) == FirstValue::kName && !notice.values.empty()) {
    name = LoggedName(notice.values.front());
    values.front() = name;
  }
  return FormatText(TextOf(notice.message, language), values);
}

}  // namespace varnow
