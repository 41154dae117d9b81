// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "messages/ErrorTexts.h"
#include "messages/Language.h"
#include "messages/MessageText.h"
#include "messages/Messages.h"

namespace varnow {
namespace {

// The language comes from the variables' text alone, as gettext reads them.
TEST(Language, OfTheLocaleVariables) {
  using Vars = std::map<std::string, std::string>;
  const struct {
    Vars vars;
    Language language;
  } cases[] = {
      {{}, Language::kEnglish},
      {{{"LANG", "ru_RU.UTF-8"}}, Language::kRussian},
      {{{"LANG", "ru"}}, Language::kRussian},
      {{{"LANG", "ru_UA.KOI8-U"}}, Language::kRussian},
      {{{"LANG", "rue_UA"}}, Language::kEnglish},  // Rusyn, not Russian
      {{{"LANG", "en_US.UTF-8"}}, Language::kEnglish},
      {{{"LANG", "C.UTF-8"}}, Language::kEnglish},
      {{{"LANG", "POSIX"}}, Language::kEnglish},
      {{{"LANG", "de_DE.UTF-8"}}, Language::kEnglish},
      // The first of LC_ALL, LC_MESSAGES, LANG that is set (and not empty) decides.
      {{{"LC_ALL", "C"}, {"LANG", "ru_RU.UTF-8"}}, Language::kEnglish},
      {{{"LC_MESSAGES", "ru_RU.UTF-8"}, {"LANG", "C"}}, Language::kRussian},
      {{{"LC_ALL", ""}, {"LANG", "ru_RU.UTF-8"}}, Language::kRussian},
      // LANGUAGE's first entry, unless the locale is C or POSIX.
      {{{"LANGUAGE", "ru:en"}, {"LANG", "en_US.UTF-8"}}, Language::kRussian},
      {{{"LANGUAGE", "en:ru"}, {"LANG", "ru_RU.UTF-8"}}, Language::kEnglish},
      {{{"LANGUAGE", "ru"}, {"LANG", "C.UTF-8"}}, Language::kEnglish},
      {{{"LANGUAGE", "ru"}}, Language::kEnglish},
  };
  for (const auto& c : cases) {
    const auto variable = [&c](const char* name) -> const char* {
      const auto it = c.vars.find(name);
      return it == c.vars.end() ? nullptr : it->second.c_str();
    };
    std::string shown;
    for (const auto& [name, value] : c.vars) {
      shown += name + "=" + value + " ";
    }
    EXPECT_EQ(LanguageOfLocale(variable), c.language) << shown;
  }
  EXPECT_EQ(LanguageNamed("RU"), Language::kRussian);
  EXPECT_EQ(LanguageNamed("en"), Language::kEnglish);
  EXPECT_EQ(LanguageNamed("de"), std::nullopt);
  EXPECT_EQ(LanguageCode(Language::kEnglish), "en");
}

std::string Placeholders(std::string_view text) {
  std::string found;
  for (std::size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at + 2)) {
    found += text.substr(at, 2);
  }
  return found;
}

// A log line's values go to the same places in either language: an English log reads as the
// Russian one does, word for word where the markup is named.
TEST(Language, EveryLogMessageHasItsEnglishWithTheSamePlaceholders) {
  for (const MessageRow& row : kMessages) {
    EXPECT_EQ(Placeholders(row.text.Russian()), Placeholders(row.text.English()))
        << row.text.Russian();
  }
  const LoggedChange change{"/s/a.htm", ProcedureId::kBanner, MessageId::kBannerBlock, "<!--ad-->",
                            42};
  EXPECT_EQ(ChangeLine(change), "/s/a.htm удален <!--ad--> [42]");
  EXPECT_EQ(ChangeLine(change, Language::kEnglish), "/s/a.htm removed <!--ad--> [42]");
  const RunNotice saved{MessageId::kLogSaved, "/o/log.txt", {"/o/log.txt"}};
  EXPECT_EQ(NoticeText(saved), "Лог сохранен в /o/log.txt");
  EXPECT_EQ(NoticeText(saved, Language::kEnglish), "Log saved to /o/log.txt");
}

}  // namespace
}  // namespace varnow
