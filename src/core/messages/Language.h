// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <optional>
#include <string_view>

// The two languages the program speaks, and the texts it keeps in both.
//
// Every text a user reads is written in Russian first (the program's own texts, which the
// stored formats and the tests pin) with its English beside it. A pair is checked as it is
// compiled: a text without its English does not build.
namespace varnow {

enum class Language : unsigned char { kRussian, kEnglish };

// "ru" or "en", as the settings file and the command line name them.
std::string_view LanguageCode(Language language);
// The language a code stands for ("ru", "en", any letter case); nothing for another code.
std::optional<Language> LanguageNamed(std::string_view code);

// The interface's language for a locale, read from the variables' text alone (no locale needs
// to be installed): the first entry of LANGUAGE where it is set and the locale is not C or
// POSIX, else the first of LC_ALL, LC_MESSAGES and LANG that is set. "ru" and "ru_*" mean
// Russian; C, POSIX and every other locale mean English. `variable` gives a variable's value,
// or nullptr where it is not set.
Language LanguageOfLocale(const std::function<const char*(const char*)>& variable);
// The same for this process's environment.
Language LanguageOfEnvironment();

// One text in both languages. Both are given or neither (an empty line).
class Texts {
 public:
  consteval Texts(const char* russian, const char* english) : russian_(russian), english_(english) {
    if ((russian_.empty()) != (english_.empty())) {
      throw "a text needs both its Russian and its English";  // stops the build
    }
  }
  constexpr std::string_view In(Language language) const {
    return language == Language::kRussian ? russian_ : english_;
  }
  constexpr std::string_view Russian() const { return russian_; }
  constexpr std::string_view English() const { return english_; }

 private:
  std::string_view russian_;
  std::string_view english_;
};

}  // namespace varnow
