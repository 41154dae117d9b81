// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "settings/IniFile.h"
#include "settings/SettingsCheck.h"
#include "settings/SettingsErrors.h"
#include "support/TempDir.h"

namespace varnow {
namespace {

using test::Iconv;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

class IniFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  IniFile ini{dir / "varnow.ini"};
};

TEST_F(IniFileTest, MissingFileSectionOrKeyReadsEmpty) {
  EXPECT_EQ(ini.ReadString("Main", "StorePatch"), "");
  WriteBytes(ini.Path(), "[Main]\r\nStorePatch=/out\r\n[Banner0]\r\nFirst=a\r\n");
  EXPECT_EQ(ini.ReadString("Main", "RmScript"), "");
  EXPECT_EQ(ini.ReadString("Banner1", "First"), "");
  EXPECT_EQ(ini.ReadString("Main", "First"), "");  // keys belong to their own section
  EXPECT_EQ(ini.ReadString("Banner0", "First"), "a");
}

TEST_F(IniFileTest, NewFileIsCp1251WithCrLfAsIconvWritesIt) {
  ini.WriteString("Main", "StorePatch", "/home/юзер/Сайт «новый»");
  ini.WriteString("Banner0", "First", "<!-- реклама -->");
  const std::string expected =
      "[Main]\r\nStorePatch=/home/юзер/Сайт «новый»\r\n[Banner0]\r\nFirst=<!-- реклама -->\r\n";
  EXPECT_EQ(ReadBytes(ini.Path()), Iconv("CP1251", "UTF-8", expected));
  EXPECT_EQ(ini.ReadString("Main", "StorePatch"), "/home/юзер/Сайт «новый»");
}

TEST_F(IniFileTest, ValuesReadBackExactlyAsWritten) {
  const std::string values[] = {
      "  padded  ",
      "\"quoted\"",
      "a=b=c",
      "; not a comment",
      "[not a section]",
      "\t",
      "",
      std::string(5000, 'x') + "end",  // no cut at 2047 characters
  };
  for (const std::string& value : values) {
    ini.WriteString("Banner0", "First", value);
    EXPECT_EQ(ini.ReadString("Banner0", "First"), value);
  }
}

TEST_F(IniFileTest, NamesMatchWithoutRegardToCaseAndEveryOtherLineIsKept) {
  // LF line ends, a comment, blank lines, blanks around names and a last line without an end.
  const std::string before =
      "; settings\n[other]\nStorePatch=keep\n\n [ mAiN ] \n storepatch = old\nRmScript=0\n\n"
      "[Banner0]\nfirst=x";
  WriteBytes(ini.Path(), before);
  EXPECT_EQ(ini.ReadString("MAIN", "StorePatch"), " old");
  EXPECT_EQ(ini.ReadString("banner0", "FIRST"), "x");

  ini.WriteString("Main", "StorePatch", "/new");
  ini.WriteString("Main", "RmBlank", "-1");  // after the section's last line that is not blank
  ini.WriteString("Banner0", "Last", "y");   // after a last line without an end
  ini.WriteString("Banner7", "First", "z");  // a new section at the end
  EXPECT_EQ(ReadBytes(ini.Path()),
            "; settings\n[other]\nStorePatch=keep\n\n [ mAiN ] \nStorePatch=/new\nRmScript=0\n"
            "RmBlank=-1\n\n[Banner0]\nfirst=x\nLast=y\n[Banner7]\nFirst=z\n");
  EXPECT_EQ(ini.ReadString("other", "StorePatch"), "keep");
}

// Writing a key changes nothing else: a last line ending in CR without LF keeps its CR.
TEST_F(IniFileTest, ALastLineEndingInCarriageReturnKeepsIt) {
  for (const std::string& before :
       {std::string("[Main]\nRmBlank=x\r"), std::string("[Main]\r\nRmBlank=x\r")}) {
    WriteBytes(ini.Path(), before);
    ini.WriteString("Banner0", "First", "a");
    EXPECT_EQ(ini.ReadString("Main", "RmBlank"), "x\r") << before;
    EXPECT_EQ(ini.ReadString("Banner0", "First"), "a");
    WriteBytes(ini.Path(), before);
    ini.WriteString("Main", "RmSpan", "0");
    EXPECT_EQ(ini.ReadString("Main", "RmBlank"), "x\r") << before;
  }
}

TEST_F(IniFileTest, FirstOfRepeatedSectionsAndKeysCounts) {
  WriteBytes(ini.Path(), "[Main]\r\nk=1\r\nk=2\r\n[Main]\r\nk=3\r\n");
  EXPECT_EQ(ini.ReadString("Main", "k"), "1");
  ini.WriteString("Main", "k", "9");
  EXPECT_EQ(ReadBytes(ini.Path()), "[Main]\r\nk=9\r\nk=2\r\n[Main]\r\nk=3\r\n");
}

TEST_F(IniFileTest, ValueThatCannotBeStoredIsRefusedAndTheFileUntouched) {
  ini.WriteString("Main", "StorePatch", "/out");
  const std::string before = ReadBytes(ini.Path());
  EXPECT_THROW(ini.WriteString("Main", "StorePatch", "/out/中文"), SettingsWriteError);
  EXPECT_THROW(ini.WriteString("Main", "StorePatch", "two\nlines"), SettingsWriteError);
  EXPECT_EQ(ReadBytes(ini.Path()), before);
}

// Several keys in one write leave the bytes the same keys written one by one leave, and a key
// that cannot be stored writes none of them.
TEST_F(IniFileTest, SeveralKeysAtOnceAreAllWrittenOrNone) {
  const IniFile::Entries entries = {
      {"StorePatch", "/new"}, {"RmBlank", "-1"}, {"storepatch", "/again"}, {"RmSpan", ""}};
  for (const std::string& before :
       {std::string(), std::string("[Main]\nRmSpan=1\n\n[Banner0]\nfirst=x"),
        std::string("; c\r\n[Main]\r\nRmBlank=x\r"), std::string("[Banner0]\r\nFirst=a")}) {
    WriteBytes(ini.Path(), before);
    for (const auto& [key, value] : entries) {
      ini.WriteString("Main", key, value);
    }
    const std::string oneByOne = ReadBytes(ini.Path());
    WriteBytes(ini.Path(), before);
    ini.WriteStrings("Main", entries);
    EXPECT_EQ(ReadBytes(ini.Path()), oneByOne) << before;

    IniFile::Entries refused = entries;
    refused.insert(refused.begin() + 2, {"RmFont", "中"});
    EXPECT_THROW(ini.WriteStrings("Main", refused), SettingsWriteError);
    refused[2] = {"RmFont", "a\nb"};
    EXPECT_THROW(ini.WriteStrings("Main", refused), SettingsWriteError);
    EXPECT_EQ(ReadBytes(ini.Path()), oneByOne) << before;
  }
}

TEST_F(IniFileTest, FailedWriteNamesTheFileAndLeavesNothingBehind) {
  const IniFile nowhere(dir / "missing" / "varnow.ini");
  try {
    nowhere.WriteString("Main", "StorePatch", "x");
    ADD_FAILURE() << "write into a missing folder succeeded";
  } catch (const SettingsWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + nowhere.Path().string());
  }
  // The target is a folder: the rename fails after the temporary file was written.
  std::filesystem::create_directory(dir / "taken.ini");
  const IniFile taken(dir / "taken.ini");
  EXPECT_THROW(taken.WriteString("Main", "StorePatch", "x"), SettingsWriteError);
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 1) << "a temporary file was left behind";

  // A file too large to be a settings file is not read, so it is not rewritten either.
  const std::string huge(1100 * 1024, ';');
  WriteBytes(dir / "huge.ini", huge);
  EXPECT_THROW(IniFile(dir / "huge.ini").WriteString("Main", "StorePatch", "x"),
               SettingsWriteError);
  EXPECT_TRUE(ReadBytes(dir / "huge.ini") == huge);
}

TEST_F(IniFileTest, ReplacedFileKeepsItsPermissionsAndALinkedFileStaysLinked) {
  WriteBytes(dir / "real.ini", "[Main]\r\n");
  ::chmod((dir / "real.ini").c_str(), 0640);
  std::filesystem::create_symlink("real.ini", ini.Path());
  ini.WriteString("Main", "StorePatch", "/out");
  EXPECT_TRUE(std::filesystem::is_symlink(ini.Path()));
  EXPECT_EQ(ReadBytes(dir / "real.ini"), "[Main]\r\nStorePatch=/out\r\n");
  struct stat st {};
  ASSERT_EQ(::stat((dir / "real.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// A place that is no regular file, or a link that leads to one or nowhere, is neither read
// (a FIFO would block) nor replaced (a device node would be destroyed): the write is refused
// with a message naming the file, and the target stays what it was.
TEST_F(IniFileTest, APlaceThatIsNoRegularFileIsNeitherReadNorReplaced) {
  const std::filesystem::path fifo = dir / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_directory(dir / "folder");
  // A device node of the test's own (a copy of /dev/null's numbers), where the test may make one.
  const std::filesystem::path device = dir / "device";
  const bool withDevice = ::mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
  const struct {
    const char* name;
    std::filesystem::path linkTo;  // empty: the place itself is the thing
    std::filesystem::path place;
    const char* cause;
  } cases[] = {
      {"FIFO", {}, fifo, "не является обычным файлом"},
      {"link to a FIFO", fifo, {}, "не является обычным файлом"},
      {"link to a folder", dir / "folder", {}, "не является обычным файлом"},
      {"dangling link", dir / "gone" / "real.ini", {}, "dangling link: "},
      {"link to a device", device, {}, "не является обычным файлом"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.linkTo == device && !withDevice) {
      continue;  // no device node can be made here
    }
    std::filesystem::path place = c.place;
    if (place.empty()) {
      place = dir / (std::string(c.name) + ".ini");
      std::filesystem::create_symlink(c.linkTo, place);
    }
    const IniFile file(place);
    EXPECT_EQ(file.ReadString("Main", "StorePatch"), "");
    try {
      file.WriteString("Main", "StorePatch", "/out");
      ADD_FAILURE() << "written";
    } catch (const SettingsWriteError& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find(place.string()), std::string::npos) << message;
      EXPECT_NE(message.find(c.cause), std::string::npos) << message;
    }
    const std::optional<std::string> problem = CheckSettingsFile(place, false);
    ASSERT_TRUE(problem.has_value());
    EXPECT_NE(problem->find(place.string()), std::string::npos) << *problem;
  }
  struct stat st {};
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_FALSE(std::filesystem::exists(dir / "gone"));
  if (withDevice) {
    ASSERT_EQ(::lstat(device.c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
  }
}

}  // namespace
}  // namespace varnow
