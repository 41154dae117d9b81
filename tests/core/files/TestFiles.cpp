// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <string>

#include "document/Document.h"
#include "files/ReplaceFile.h"
#include "files/SourceFile.h"
#include "files/StreamedLog.h"
#include "platform/ScratchFile.h"
#include "platform/posix/ScratchClose.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"

namespace varnow {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

int EntriesIn(const fs::path& folder) {
  int n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) {
    ++n;
  }
  return n;
}

TEST(ReplaceFile, NewAndReplacedFiles) {
  TempDir dir;
  const fs::path target = dir / "page.htm";
  ReplaceFileContents(target, std::string("a\0b", 3));
  EXPECT_EQ(ReadBytes(target), std::string("a\0b", 3));
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  const mode_t mask = ::umask(022);
  ::umask(mask);
  EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);  // as any new file, not 0600

  ::chmod(target.c_str(), 0604);
  ReplaceFileContents(target, "");
  EXPECT_EQ(ReadBytes(target), "");
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0604u);
  EXPECT_EQ(EntriesIn(dir.Path()), 1);
}

TEST(ReplaceFile, FailuresLeaveTheTargetAndNoTemporaryFile) {
  TempDir dir;
  try {
    ReplaceFileContents(dir / "missing" / "page.htm", "x");
    ADD_FAILURE();
  } catch (const FileWriteError& e) {
    EXPECT_EQ(e.stage, FileWriteError::Stage::kCreate);
    EXPECT_EQ(e.failure.cause, FailureCause::kNotFound);
  }
  fs::create_directory(dir / "taken");
  try {
    ReplaceFileContents(dir / "taken", "x");
    ADD_FAILURE();
  } catch (const FileWriteError& e) {
    EXPECT_EQ(e.stage, FileWriteError::Stage::kCommit);
  }
  EXPECT_EQ(EntriesIn(dir.Path()), 1);
}

// The disk filling up in the middle of a write, played by a file size limit in a child process.
TEST(ReplaceFile, WriteCutShortLeavesTheOldFileWhole) {
  TempDir dir;
  const fs::path target = dir / "log.txt";
  WriteBytes(target, "old contents");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    try {
      ReplaceFileContents(target, std::string(100000, 'x'));
    } catch (const FileWriteError& e) {
      ::_exit(e.stage == FileWriteError::Stage::kWrite ? 0 : 2);
    }
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadBytes(target), "old contents");
  EXPECT_EQ(EntriesIn(dir.Path()), 1);
}

TEST(ReplaceFile, NamesUpToTheSystemsLimitAndNoNameWhileWriting) {
  TempDir dir;
  // 255 bytes: 125 Cyrillic letters and ".htm" plus one more byte.
  std::string name;
  for (int i = 0; i < 125; ++i) {
    name += "ж";
  }
  name += "x.htm";
  ASSERT_EQ(name.size(), 255u);
  ReplaceFileContents(dir / name, "a");
  EXPECT_EQ(ReadBytes(dir / name), "a");

  // While it is written the new file has no name: the folder holds only the old file.
  {
    NewFile file(dir / name);
    file.Write("bb");
    EXPECT_EQ(EntriesIn(dir.Path()), 1);
  }
  EXPECT_EQ(ReadBytes(dir / name), "a");  // never committed: the target stays
  EXPECT_EQ(EntriesIn(dir.Path()), 1);
}

// What interrupted runs left (the program's temporary names, older than the run) goes; a file
// a live run holds locked, a newer one and every other name stay.
TEST(ReplaceFile, StrayTemporaryFilesOfInterruptedRunsAreRemoved) {
  TempDir dir;
  const std::time_t now = std::time(nullptr);
  const struct {
    const char* name;
    std::time_t age;  // seconds before now
    bool locked;
    bool removed;
  } cases[] = {
      {".vn0123abcd.tmp", 60, false, true},   {".vn0123ABCD.tmp", 60, false, true},
      {".vn0123abcd.t", 60, false, true},     {".vn0123abc.t", 60, false, false},
      {".vn0123abcd.tm", 60, false, false},   {".vn0123abce.tmp", 60, true, false},
      {".vn0123abcf.tmp", 0, false, false},   {".vn0123abc.tmp", 60, false, false},
      {".vn0123abcx.tmp", 60, false, false},  {"page.htm", 60, false, false},
      {".vn0123abcd.tmpx", 60, false, false},
  };
  std::vector<int> held;
  for (const auto& c : cases) {
    WriteBytes(dir / c.name, "x");
    const timespec times[2] = {{now - c.age, 0}, {now - c.age, 0}};
    ::utimensat(AT_FDCWD, (dir / c.name).c_str(), times, 0);
    if (c.locked) {
      held.push_back(::open((dir / c.name).c_str(), O_RDONLY));
      ASSERT_EQ(::flock(held.back(), LOCK_EX), 0);
    }
  }
  const std::vector<std::string> removed = RemoveStrayTemporaryFiles(dir.Path(), now - 1);
  for (const auto& c : cases) {
    EXPECT_EQ(!fs::exists(dir / c.name), c.removed) << c.name;
    EXPECT_EQ(std::count(removed.begin(), removed.end(), (dir / c.name).string()),
              c.removed ? 1 : 0);
  }
  for (const int fd : held) {
    ::close(fd);
  }
}

// The lines a log gets, in cp1251 with CR LF, as the run's old method wrote them.
std::string Expected(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) {
    bytes += Utf8ToCp1251(line) + "\r\n";
  }
  return bytes;
}

TEST(StreamedLog, HeaderThenEveryLineInCp1251WithCrLf) {
  TempDir dir;
  const std::vector<std::string> header = {"Файл", "1.1.2026 10:00:00", " "};
  std::vector<std::string> lines = {"/сайт/a.htm удален <script> [1]", "", "я ?"};
  // Enough lines to pass through the write buffer many times.
  for (int i = 0; i < 40000; ++i) {
    lines.push_back("/home/user/сайт/page" + std::to_string(i) + ".htm удален пустой </span> [" +
                    std::to_string(i) + "]");
  }
  const std::vector<std::string> longer = {"Файл", "10.12.2026 10:00:00", " "};
  // Another file system than the temporary folder's, where one is at hand.
  const fs::path elsewhere = fs::exists("/dev/shm") ? fs::path("/dev/shm") : dir.Path();
  struct stat here {
  }, there{};
  ::stat(dir.Path().c_str(), &here);
  ::stat(elsewhere.c_str(), &there);
  struct Case {
    const char* what;
    fs::path bodyFolder;  // where the lines go; a missing folder sends them to the temp folder
    std::size_t early;    // lines added before Open
    const std::vector<std::string>& expected;  // the header expected when the lines begin
    bool copied;  // the lines are copied behind the header (pumping), not renamed
  };
  const Case cases[] = {
      {"the header fits its room: no copy", dir.Path(), 0, header, false},
      {"first lines wait in memory", dir.Path(), 2, header, false},
      {"the header grew: copied", dir.Path(), 0, longer, true},
      {"lines on another file system", elsewhere, 3, header, here.st_dev != there.st_dev},
      {"body folder missing", dir / "missing", 5, header, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StreamedLog log;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i == c.early) {
        log.Open(c.bodyFolder, c.expected);
      }
      log.Add(lines[i]);
    }
    int pumps = 0;
    log.Save(dir / "log.txt", header, [&] { ++pumps; });
    EXPECT_TRUE(ReadBytes(dir / "log.txt") == Expected(header) + Expected(lines));
    EXPECT_EQ(pumps > 0, c.copied);
    EXPECT_EQ(EntriesIn(dir.Path()), 1);  // log.txt alone: the body never had a name
  }
  // A log that never got a body folder still saves its few lines.
  StreamedLog early;
  early.Add("one");
  early.Save(dir / "log.txt", header, nullptr);
  EXPECT_EQ(ReadBytes(dir / "log.txt"), Expected(header) + Expected({"one"}));
}

TEST(StreamedLog, AFailedSaveLeavesNothing) {
  TempDir dir;
  {
    StreamedLog log;
    log.Open(dir.Path(), {"h"});
    log.Add("line");
    try {
      log.Save(dir / "gone" / "log.txt", {"h"}, nullptr);
      ADD_FAILURE();
    } catch (const FileWriteError& e) {
      EXPECT_NE(e.stage, FileWriteError::Stage::kWrite);
      EXPECT_EQ(e.failure.cause, FailureCause::kNotFound);
    }
  }
  // Where the lines had to have a name, it goes with the log.
  EXPECT_EQ(EntriesIn(dir.Path()), 0);
}

TEST(SourceFile, LoadsInBlocksPumpingAfterEachAndStopsWhenAsked) {
  TempDir dir;
  const std::string content(3 * SourceFile::kBlockSize + 10, 'x');
  WriteBytes(dir / "a.htm", content);
  SourceFile file;
  ASSERT_FALSE(file.Open((dir / "a.htm").string()));
  int pumps = 0;
  std::unique_ptr<Document> doc = NewDocument();
  const auto append = [&](std::string_view bytes) { doc->Append(bytes); };
  ASSERT_FALSE(file.Load(append, StopToken([&] { return ++pumps < 0; })));
  EXPECT_EQ(doc->View(), content);
  EXPECT_EQ(pumps, 4);

  ASSERT_FALSE(file.Open((dir / "a.htm").string()));
  doc->Clear();
  pumps = 0;
  ASSERT_FALSE(file.Load(append, StopToken([&] { return ++pumps == 2; })));
  EXPECT_EQ(doc->Length(), static_cast<Pos>(2 * SourceFile::kBlockSize));
}

TEST(SourceFile, OpensReadOnlyFilesAndKnowsItself) {
  TempDir dir;
  WriteBytes(dir / "a.htm", "a");
  ::chmod((dir / "a.htm").c_str(), 0444);
  fs::create_hard_link(dir / "a.htm", dir / "b.htm");
  SourceFile file;
  ASSERT_FALSE(file.Open((dir / "a.htm").string()));
  // The hard link is the same file.
  const std::optional<FileFacts> link = FactsOf((dir / "b.htm").string(), Links::kFollow);
  ASSERT_TRUE(link);
  EXPECT_EQ(file.Identity(), link->identity);
  EXPECT_EQ(file.Size(), 1u);
  EXPECT_EQ(file.Open(dir.Path().string())->cause, FailureCause::kIsAFolder);
  EXPECT_EQ(file.Open((dir / "missing.htm").string())->cause, FailureCause::kNotFound);
  EXPECT_FALSE(file.IsOpen());
}

TEST(SourceFile, SizesPast2GiBLoadWhole) {
  TempDir dir;
  const std::uint64_t size = (std::uint64_t{1} << 31) + 5;  // sparse: no disk, little time
  WriteBytes(dir / "huge.htm", "");
  ASSERT_EQ(::truncate((dir / "huge.htm").c_str(), static_cast<off_t>(size)), 0);
  SourceFile file;
  ASSERT_FALSE(file.Open((dir / "huge.htm").string()));
  std::uint64_t loaded = 0;  // counted, not kept: a file past 2 GiB costs no memory
  ASSERT_FALSE(file.Load([&](std::string_view bytes) { loaded += bytes.size(); }, StopToken()));
  EXPECT_EQ(loaded, size);
}

}  // namespace
}  // namespace varnow

namespace varnow {
namespace {

// A large scratch file is freed by a process of its own, so that closing it costs this process
// nothing: seen here through a name the test keeps, the file is emptied by that process while
// this one has closed it already. A small one is simply closed.
TEST(ScratchFileTest, ALargeFileIsFreedAside) {
  const test::TempDir dir;
  for (const std::uint64_t bytes : {std::uint64_t{4096}, ScratchFile::kFreedAsideBytes}) {
    const std::filesystem::path file = dir.Path() / ("scratch" + std::to_string(bytes));
    const int fd = ::open(file.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(bytes)), 0);
    CloseScratchDescriptor(fd, bytes);
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1);  // closed here, whichever way
    if (bytes < ScratchFile::kFreedAsideBytes) {
      EXPECT_EQ(std::filesystem::file_size(file), bytes);
      continue;
    }
    // The other process truncates it a moment later.
    for (int i = 0; i < 500 && std::filesystem::file_size(file) != 0; ++i) {
      ::usleep(10'000);
    }
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
  }
}

}  // namespace
}  // namespace varnow
