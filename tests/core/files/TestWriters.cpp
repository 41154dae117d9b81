// SPDX-License-Identifier: MIT
// The writers of copies and of log.txt on every system: a file is replaced whole or left as it
// was, nothing of the program's is left beside it, and log.txt holds the header and every line.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "files/ReplaceFile.h"
#include "files/StreamedLog.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"

namespace varnow {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(Writers, AFileIsReplacedWholeOrLeftAsItWas) {
  TempDir dir;
  const fs::path target = dir / "page.htm";
  ReplaceFileContents(target, std::string("a\0b", 3));
  EXPECT_EQ(ReadBytes(target), std::string("a\0b", 3));
  ReplaceFileContents(target, "new");
  EXPECT_EQ(ReadBytes(target), "new");
  {
    NewFile file(target);  // begun and never committed: the old file stays
    file.Write("half");
  }
  EXPECT_EQ(ReadBytes(target), "new");

  const struct {
    const char* what;
    fs::path target;
    FileWriteError::Stage stage;
  } failures[] = {
      {"into a missing folder", dir / "missing" / "page.htm", FileWriteError::Stage::kCreate},
      {"over a folder", dir / "taken", FileWriteError::Stage::kCommit},
  };
  fs::create_directory(dir / "taken");
  for (const auto& f : failures) {
    SCOPED_TRACE(f.what);
    const std::optional<FileWriteError> failed = TryReplaceFileContents(f.target, "x");
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->stage, f.stage);
  }
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"page.htm", "taken"}));
}

// A temporary name an interrupted run left goes; one a run goes on writing, a newer one and
// any other name stay.
TEST(Writers, StraysOfInterruptedRunsAreRemovedAndLiveOnesKept) {
  TempDir dir;
  const std::time_t now = std::time(nullptr);
  WriteBytes(dir / ".vn0123abcd.t", "old");
  WriteBytes(dir / ".vn0123abce.tmp", "old, of an earlier version");
  WriteBytes(dir / "page.htm", "a page");
  const auto hourAgo = fs::last_write_time(dir / "page.htm") - std::chrono::hours(1);
  for (const char* name : {".vn0123abcd.t", ".vn0123abce.tmp", "page.htm"}) {
    fs::last_write_time(dir / name, hourAgo);
  }
  NewFile live(dir / "copy.htm");  // its temporary is the run's own, and held
  live.Write("being written");
  const std::vector<std::string> removed = RemoveStrayTemporaryFiles(dir.Path(), now + 60);
  EXPECT_EQ(removed.size(), 2u);
  EXPECT_FALSE(fs::exists(dir / ".vn0123abcd.t"));
  EXPECT_FALSE(fs::exists(dir / ".vn0123abce.tmp"));
  EXPECT_TRUE(fs::exists(dir / "page.htm"));
  live.Commit();
  EXPECT_EQ(ReadBytes(dir / "copy.htm"), "being written");
}

TEST(Writers, LogTxtHoldsTheHeaderAndEveryLine) {
  TempDir dir;
  std::vector<std::string> lines;
  for (int i = 0; i < 30000; ++i) {  // past the write buffer many times
    lines.push_back("сайт/page" + std::to_string(i) + ".htm удален <span> [" + std::to_string(i) +
                    "]");
  }
  std::string expected;
  for (const std::string& line : std::vector<std::string>{"Файл", " "}) {
    expected += Utf8ToCp1251(line) + "\r\n";
  }
  for (const std::string& line : lines) {
    expected += Utf8ToCp1251(line) + "\r\n";
  }
  for (const bool headerGrew : {false, true}) {
    SCOPED_TRACE(headerGrew ? "the header grew: copied" : "the header fits: renamed");
    StreamedLog log;
    log.Open(dir.Path(), headerGrew ? std::vector<std::string>{"Фа", " "}
                                    : std::vector<std::string>{"Файл", " "});
    for (const std::string& line : lines) {
      log.Add(line);
    }
    log.Save(dir / "log.txt", {"Файл", " "}, nullptr);
    EXPECT_TRUE(ReadBytes(dir / "log.txt") == expected);
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"log.txt"});
  }
  StreamedLog failed;
  failed.Open(dir.Path(), {"h"});
  failed.Add("line");
  EXPECT_THROW(failed.Save(dir / "gone" / "log.txt", {"h"}, nullptr), FileWriteError);
  failed.Reset();
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"log.txt"});
}

}  // namespace
}  // namespace varnow
