// SPDX-License-Identifier: MIT
#include "messages/CommandLineTexts.h"

#include <string_view>

namespace varnow::command_line {

std::optional<Language> LanguageAsked(const std::vector<std::string>& arguments) {
  constexpr std::string_view kAttached = "--language=";
  std::optional<Language> asked;
  for (std::size_t i = 0; i < arguments.size() && arguments[i] != "--"; ++i) {
    std::optional<Language> named;
    if (arguments[i].starts_with(kAttached)) {
      named = LanguageNamed(std::string_view(arguments[i]).substr(kAttached.size()));
    } else if (arguments[i] == "--language" && i + 1 < arguments.size()) {
      named = LanguageNamed(arguments[++i]);
    }
    asked = named ? named : asked;
  }
  return asked;
}

}  // namespace varnow::command_line
