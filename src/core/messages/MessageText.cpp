// SPDX-License-Identifier: MIT
#include "messages/MessageText.h"

#include <vector>

#include "text/Format.h"

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
  out.reserve(out.size() + change.page.size() + 1 + TextOf(change.message).size() +
              change.name.size() + 20);
  out += change.page;
  out += ' ';
  AppendChangeText(out, change);
}

std::string NoticeText(const RunNotice& notice) {
  std::vector<FormatArg> values(notice.values.begin(), notice.values.end());
  return FormatText(TextOf(notice.message), values);
}

}  // namespace varnow
