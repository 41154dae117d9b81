// SPDX-License-Identifier: MIT
#include "messages/Language.h"

#include <cstdlib>
#include <string>

#include "text/AsciiCase.h"

namespace varnow {
namespace {

bool IsSet(const char* value) {
  return value != nullptr && *value != '\0';
}

// The plain C locale, which says nothing of a language.
bool IsPlainLocale(std::string_view locale) {
  const std::string_view name = locale.substr(0, locale.find('.'));
  return name == "C" || name == "POSIX";
}

bool IsRussian(std::string_view locale) {
  const std::string_view name = locale.substr(0, locale.find_first_of("_.@:"));
  return name == "ru";
}

}  // namespace

std::string_view LanguageCode(Language language) {
  return language == Language::kRussian ? "ru" : "en";
}

std::optional<Language> LanguageNamed(std::string_view code) {
  const std::string lower = AsciiLower(code);
  if (lower == "ru") {
    return Language::kRussian;
  }
  if (lower == "en") {
    return Language::kEnglish;
  }
  return std::nullopt;
}

Language LanguageOfLocale(const std::function<const char*(const char*)>& variable) {
  std::string_view locale;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    if (const char* value = variable(name); IsSet(value)) {
      locale = value;
      break;
    }
  }
  // LANGUAGE lists languages by preference, but a C locale turns it off, as gettext does.
  if (const char* list = variable("LANGUAGE");
      IsSet(list) && !locale.empty() && !IsPlainLocale(locale)) {
    const std::string_view entries = list;
    return IsRussian(entries.substr(0, entries.find(':'))) ? Language::kRussian
                                                           : Language::kEnglish;
  }
  return IsRussian(locale) ? Language::kRussian : Language::kEnglish;
}

Language LanguageOfEnvironment() {
  return LanguageOfLocale([](const char* name) { return std::getenv(name); });
}

}  // namespace varnow
