// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <string>

#include "platform/UserFolders.h"
#include "settings/CachedIniFile.h"
#include "settings/Settings.h"
#include "settings/SettingsErrors.h"
#include "settings/SettingsLocation.h"
#include "support/TempDir.h"

namespace varnow {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

class MainSectionTest : public ::testing::Test {
 protected:
  TempDir dir;
  IniFile ini{dir / "varnow.ini"};
};

TEST_F(MainSectionTest, NoFileStopsAtTheFirstSwitch) {
  const MainSection main = ReadMainSection(IniSnapshot(ini.Path()));
  EXPECT_EQ(main.outputFolder, "");
  EXPECT_EQ(main.switchesRead, 0u);
  EXPECT_EQ(main.error,
            "Значение «» в файле настроек не является ни 0, ни -1 (выключено, включено)");
  for (const bool on : main.switches) {
    EXPECT_FALSE(on);
  }
}

TEST_F(MainSectionTest, ReadingStopsAtTheFirstBadSwitch) {
  // RmStyle is missing; RmMSWord after it is checked but must stay unset.
  WriteBytes(ini.Path(),
             "[Main]\r\nStorePatch=/out\r\nRmScript=1\r\nRmNoscript=True\r\nRmIframe=true\r\n"
             "RmonMouseOver=0\r\nRmSpan=False\r\nRmMSWord=-1\r\n");
  MainSection main = ReadMainSection(IniSnapshot(ini.Path()));
  EXPECT_EQ(main.outputFolder, "/out");
  EXPECT_EQ(main.switchesRead, 5u);
  EXPECT_EQ(main.error,
            "Значение «» в файле настроек не является ни 0, ни -1 (выключено, включено)");
  EXPECT_TRUE(main.switches[Index(ProcedureId::kScript)]);
  EXPECT_TRUE(main.switches[Index(ProcedureId::kNoscript)]);
  EXPECT_TRUE(main.switches[Index(ProcedureId::kIframe)]);
  EXPECT_FALSE(main.switches[Index(ProcedureId::kOnMouseOver)]);
  EXPECT_FALSE(main.switches[Index(ProcedureId::kMSWord)]);

  WriteBytes(ini.Path(), "[Main]\r\nRmScript=yes\r\n");
  main = ReadMainSection(IniSnapshot(ini.Path()));
  EXPECT_EQ(main.switchesRead, 0u);
  EXPECT_EQ(main.error,
            "Значение «yes» в файле настроек не является ни 0, ни -1 (выключено, включено)");
}

TEST_F(MainSectionTest, WritesThirteenKeysInOrderAndReadsThemBack) {
  // A switch stored by hand as "1" reads as checked and is written back as "-1".
  WriteBytes(ini.Path(), "[Main]\r\nRmScript=1\r\n");
  std::array<bool, kProcedureCount> switches{};
  switches[Index(ProcedureId::kScript)] = true;
  switches[Index(ProcedureId::kBlank)] = true;
  WriteMainSection(ini, "/srv/очищено", switches);
  EXPECT_EQ(ReadBytes(ini.Path()),
            "[Main]\r\nRmScript=-1\r\nStorePatch=/srv/\xEE\xF7\xE8\xF9\xE5\xED\xEE\r\n"
            "RmNoscript=0\r\nRmIframe=0\r\nRmonMouseOver=0\r\nRmSpan=0\r\nRmStyle=0\r\n"
            "RmMSWord=0\r\nRmTable=0\r\nRmBody=0\r\nRmBanner=0\r\nRmFont=0\r\nRmBlank=-1\r\n");
  const MainSection main = ReadMainSection(IniSnapshot(ini.Path()));
  EXPECT_FALSE(main.error.has_value());
  EXPECT_EQ(main.switchesRead, kProcedureCount);
  EXPECT_EQ(main.outputFolder, "/srv/очищено");
  EXPECT_EQ(main.switches, switches);
}

TEST_F(MainSectionTest, BannerSlotsRoundTrip) {
  EXPECT_EQ(BannerSection(0), "Banner0");
  EXPECT_EQ(BannerSection(20), "Banner20");
  WriteBanner(ini, 3, {"<!-- Реклама -->", ""});
  WriteBanner(ini, 20, {"<div class=ad>", "</div>"});
  const IniSnapshot file(ini.Path());
  EXPECT_EQ(ReadBanner(file, 3).first, "<!-- Реклама -->");
  EXPECT_EQ(ReadBanner(file, 3).last, "");
  EXPECT_EQ(ReadBanner(file, 20).last, "</div>");
  EXPECT_EQ(ReadBanner(file, 4).first, "");
}

TEST_F(MainSectionTest, AFailedWriteLeavesTheFileAsItWas) {
  const IniFile nowhere(dir / "missing" / "varnow.ini");
  EXPECT_THROW(WriteMainSection(nowhere, "/out", {}), SettingsWriteError);
  // A value cp1251 cannot hold writes none of the keys, neither to a new file nor to one that
  // holds the section already.
  EXPECT_THROW(WriteMainSection(ini, "/out/中", {}), SettingsWriteError);
  EXPECT_FALSE(std::filesystem::exists(ini.Path()));
  WriteBytes(ini.Path(), "[Main]\r\nRmScript=-1\r\n");
  EXPECT_THROW(WriteMainSection(ini, "/out/中", {}), SettingsWriteError);
  EXPECT_THROW(WriteBanner(ini, 2, {"<a>", "</中>"}), SettingsWriteError);
  EXPECT_EQ(ReadBytes(ini.Path()), "[Main]\r\nRmScript=-1\r\n");
}

// The kept copy follows every kind of change on disk.
TEST(CachedIniFile, SeesEveryChangeOfTheFile) {
  TempDir dir;
  const auto file = dir / "varnow.ini";
  CachedIniFile cached(file);
  const auto value = [&] {
    cached.Refresh();
    return std::string(cached.Value("Banner0", "First"));
  };
  EXPECT_EQ(value(), "");  // no file yet
  WriteBanner(IniFile(file), 0, {"<a>", "</a>"});
  EXPECT_EQ(value(), "<a>");
  WriteBanner(IniFile(file), 0, {"<b>", "</b>"});  // written as the program writes
  EXPECT_EQ(value(), "<b>");

  // Rewritten in place (the same file), to the same size, with the old modification time.
  struct stat before {};
  ASSERT_EQ(::stat(file.c_str(), &before), 0);
  std::string bytes = ReadBytes(file);
  bytes.replace(bytes.find("<b>"), 3, "<c>");
  WriteBytes(file, bytes);
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  EXPECT_EQ(value(), "<c>");  // the change time still moved

  std::filesystem::remove(file);
  EXPECT_EQ(value(), "");
}

// The index gives what a search of the lines gives, for every name asked: the first section of
// a name, the first occurrence of a key in it, names in any letter case and with blanks
// around them, values exactly as stored.
TEST(CachedIniFile, IndexAnswersAsTheLinesDo) {
  const std::string files[] = {
      "",
      "First=outside\r\n[Banner0]\r\nFirst=<a>\r\nfirst=<b>\r\nLast= </a> \r\n",
      "[banner0]\nFIRST=x=y\n[ Banner0 ]\nFirst=later\nLast=z\n[Banner1\nfirst=open\n",
      "[Banner0]\r\n  First\t=\t<\xEC\xE5\xF2\xEA\xE0>\r\nno key here\r\n[]\r\n=empty\r\n"
      "[Banner2]\r\nLast=\r\n[x=y]\r\nFirst=header\r\n",
      std::string("[Banner0]\r\nFirst=a\0b\r\n[Ban\0ner0]\r\nFirst=nul\r\n", 45),
  };
  const std::string sections[] = {
      "Banner0", "BANNER0", "Banner1", "Banner2", "", "x=y", std::string("Ban\0ner0", 9), "Main"};
  const std::string keys[] = {"First", "first", "Last", "", "no key here"};
  for (const std::string& file : files) {
    const std::vector<ini::Line> lines = ini::SplitLines(file);
    const ini::ValueIndex index(lines);
    for (const std::string& section : sections) {
      for (const std::string& key : keys) {
        EXPECT_EQ(index.Find(section, key), ini::FindValue(lines, section, key))
            << file << " [" << section << "] " << key;
      }
    }
  }
}

// A file beside the program wins; otherwise the user's configuration folder.
TEST(SettingsLocation, BesideTheProgramOrInTheUsersFolder) {
  TempDir dir;
  const auto beside = dir / "bin" / "varnow.ini";
  struct Case {
    bool besideExists;
    const char* xdg;
    const char* home;
    std::string file;
    bool inUserFolder;
  };
  const std::string xdg = (dir / "config").string();
  const std::string home = (dir / "home").string();
  const Case cases[] = {
      {true, xdg.c_str(), home.c_str(), beside.string(), false},
      {false, xdg.c_str(), home.c_str(), xdg + "/varnow/varnow.ini", true},
      {false, nullptr, home.c_str(), home + "/.config/varnow/varnow.ini", true},
      {false, "relative/config", home.c_str(), home + "/.config/varnow/varnow.ini", true},
      {false, nullptr, nullptr, beside.string(), false},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(beside);
    if (c.besideExists) {
      WriteBytes(beside, "[Main]\r\n");
    }
    const SettingsLocation found = FindSettingsFile(beside, XdgFolder(c.xdg, c.home, ".config"));
    EXPECT_EQ(found.file.string(), c.file);
    EXPECT_EQ(found.inUserFolder, c.inUserFolder);
  }
}

}  // namespace
}  // namespace varnow
