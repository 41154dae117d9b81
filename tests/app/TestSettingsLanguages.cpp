// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "settings/IniFile.h"
#include "settings/SettingsModel.h"
#include "support/TempDir.h"

namespace varnow {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// The languages are written only once the user chose them, so the file stays what today's
// program reads; its problems are told in the language the model was given.
TEST(SettingsModel, TheLanguagesAreStoredOnlyOnceChosen) {
  TempDir dir;
  const std::filesystem::path file = dir / "varnow.ini";
  SettingsModel model(file, false);
  MainSettings settings = model.ForEditing().settings;
  EXPECT_EQ(settings.logLanguage, Language::kRussian);
  EXPECT_EQ(settings.language, std::nullopt);
  model.Write(settings, true);
  EXPECT_EQ(ReadBytes(file).find("Language"), std::string::npos);
  settings.language = Language::kEnglish;
  settings.logLanguage = Language::kEnglish;
  model.Write(settings, true);
  EXPECT_NE(ReadBytes(file).find("LogLanguage=en\r\n"), std::string::npos);
  EXPECT_NE(ReadBytes(file).find("\nLanguage=en\r\n"), std::string::npos);
  SettingsModel again(file, false);
  EXPECT_EQ(again.ChosenLanguage(), Language::kEnglish);
  settings = again.ForEditing().settings;
  EXPECT_EQ(settings.logLanguage, Language::kEnglish);
  // Set back to Russian, a key the file names stays, now saying so.
  settings.logLanguage = Language::kRussian;
  again.Write(settings, true);
  EXPECT_NE(ReadBytes(file).find("LogLanguage=ru\r\n"), std::string::npos);
  const SettingsOverrides none;
  EXPECT_EQ(again.ForRun(none).settings.logLanguage, Language::kRussian);

  WriteBytes(file, "[Main]\r\nRmScript=yes\r\n");
  SettingsModel english(file, true, Language::kEnglish);
  EXPECT_TRUE(english.ForRun(none).problem.value_or("").starts_with(
      "The value “yes” of key RmScript in section [Main] is neither 0 nor -1"));
}

}  // namespace
}  // namespace varnow
