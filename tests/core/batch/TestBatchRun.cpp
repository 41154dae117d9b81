// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <new>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "batch/BatchRun.h"
#include "batch/LogLineMaker.h"
#include "batch/PageLines.h"
#include "cleaning/ProcedureTable.h"
#include "core/batch/FakeHost.h"
#include "files/StreamedLog.h"
#include "settings/Settings.h"
#include "support/RandomHtml.h"
#include "support/TempDir.h"
#include "support/TextMatch.h"
#include "text/Cp1251.h"

namespace varnow {
namespace {

namespace fs = std::filesystem;
using test::FakeHost;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

constexpr std::string_view kProduct = "Файл сгенерирован программой Varnow 0.9.9";
constexpr std::string_view kStopped = "Прервано пользователем";

class BatchRunTest : public ::testing::Test {
 protected:
  BatchRunTest() {
    fs::create_directories(site);
    host.folder = site.string();
    host.outputFolder = out.string();
  }

  // Where the run writes the copy of a source: the whole source path below the output folder.
  fs::path Output(const fs::path& source) const { return out.string() + source.string(); }
  fs::path LogFile() const { return Output(site / "log.txt"); }

  // log.txt as text, one entry per line; every line must end with CR LF.
  std::vector<std::string> LogLines() const {
    const std::string bytes = ReadBytes(LogFile());
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
      const std::size_t end = bytes.find("\r\n", start);
      if (end == std::string::npos) {
        ADD_FAILURE() << "log.txt has a line without CR LF";
        break;
      }
      lines.push_back(Cp1251ToUtf8(bytes.substr(start, end - start)));
      start = end + 2;
    }
    return lines;
  }

  // The lines after the five header lines.
  std::vector<std::string> LogBody() const {
    std::vector<std::string> lines = LogLines();
    EXPECT_GE(lines.size(), 5u);
    return lines.size() < 5 ? lines : std::vector<std::string>(lines.begin() + 5, lines.end());
  }

  int OutputFileCount() const {
    int n = 0;
    if (fs::exists(out)) {
      for (const auto& e : fs::recursive_directory_iterator(out)) {
        n += e.is_regular_file() && e.path().filename() != "log.txt" &&
             e.path().filename() != ".varnow-manifest";
      }
    }
    return n;
  }

  void Execute() {
    const RunEnd end = run.Execute();
    EXPECT_NE(end.how, RunEnd::How::kFailed) << end.error;
  }

  std::string ExecuteExpectingError() {
    const RunEnd end = run.Execute();
    if (end.how != RunEnd::How::kFailed) {
      ADD_FAILURE() << "the run ended without an error";
    }
    EXPECT_FALSE(end.error.empty());
    EXPECT_EQ(host.ends.back(), RunEnd::How::kFailed);
    return end.error;
  }

  void ExpectEndedCleanly() {
    EXPECT_EQ(host.ended, 1);
    EXPECT_FALSE(run.Running());
    EXPECT_FALSE(run.StopFlag());
  }

  TempDir dir;
  fs::path site = dir / "site";
  fs::path out = dir / "out";
  fs::path ini = dir / "varnow.ini";
  FakeHost host;
  BatchRun run{host, ini, [this] {
                 host.Pump();
                 return false;
               }};
};

TEST_F(BatchRunTest, ThreeFilesInATreeAreCleanedMirroredAndLogged) {
  WriteBytes(site / "a.htm", "<p>a</p><script>x</script>");
  WriteBytes(site / "sub" / "deep" / "b.HTML", "<SCRIPT>y</SCRIPT>b");
  WriteBytes(site / "c.html", "c");
  WriteBytes(site / "notes.txt", "<script>");
  host.Enable(ProcedureId::kScript);
  Execute();

  EXPECT_EQ(ReadBytes(Output(site / "a.htm")), "<p>a</p>");
  EXPECT_EQ(ReadBytes(Output(site / "sub" / "deep" / "b.HTML")), "b");
  EXPECT_EQ(ReadBytes(Output(site / "c.html")), "c");
  EXPECT_EQ(OutputFileCount(), 3);

  EXPECT_EQ(host.statuses.front(), "Поиск...");
  EXPECT_EQ(std::count(host.statuses.begin(), host.statuses.end(), "Загрузка..."), 3);
  EXPECT_NE(std::find(host.statuses.begin(), host.statuses.end(), "Обработка файла 0 из 3"),
            host.statuses.end());
  EXPECT_NE(std::find(host.statuses.begin(), host.statuses.end(), "Обработка файла 2 из 3"),
            host.statuses.end());
  EXPECT_TRUE(
      test::IsPrefixAndShortElapsed(host.LastStatus(), "Готово. Обработано 3 файлов. Время: "))
      << host.LastStatus();
  EXPECT_EQ(host.clears, 1);
  EXPECT_EQ(host.progress.back(), std::make_pair(std::size_t{3}, std::size_t{3}));
  ExpectEndedCleanly();

  const std::vector<std::string> log = LogLines();
  ASSERT_EQ(log.size(), 7u);
  EXPECT_EQ(log[0], kProduct);
  // The date and the time, a blank between them.
  EXPECT_GT(log[1].find(' '), 0u) << log[1];
  EXPECT_LT(log[1].find(' ') + 1, log[1].size()) << log[1];
  EXPECT_EQ(log[2], "Файлов обработано 3");
  EXPECT_TRUE(test::IsPrefixAndShortElapsed(log[3], "Затрачено времени: ")) << log[3];
  EXPECT_EQ(log[4], " ");
  // The pane holds the same lines, then an empty line and where the log went.
  ASSERT_EQ(host.lines.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(log.begin() + 5, log.end()),
            std::vector<std::string>(host.lines.begin(), host.lines.begin() + 2));
  EXPECT_EQ(host.lines[2], "");
  EXPECT_EQ(host.lines[3], "Лог сохранен в " + LogFile().string());
  const std::vector<std::string> expectedLines = {
      (site / "a.htm").string() + " удален <script> [9]",
      (site / "sub/deep/b.HTML").string() + " удален <script> [1]"};
  std::vector<std::string> body(log.begin() + 5, log.end());
  std::sort(body.begin(), body.end());  // the order is the system's listing order
  EXPECT_EQ(body, expectedLines);
}

TEST_F(BatchRunTest, WithNoSwitchOnEveryCopyIsByteIdentical) {
  std::string binary;
  for (int i = 0; i < 300000; ++i) {  // several load blocks, every byte value, NUL and CR LF
    binary += static_cast<char>((i * 37 + i / 256) % 256);
  }
  binary += "\r\n<script>\0</script>\xC0\xFF";
  WriteBytes(site / "big.htm", binary);
  WriteBytes(site / "empty.htm", "");
  WriteBytes(site / "x" / "page.html", "<font>\r\n</font>");
  Execute();

  const std::string copy = ReadBytes(Output(site / "big.htm"));
  EXPECT_EQ(copy.size(), binary.size());
  EXPECT_TRUE(copy == binary);  // not EXPECT_EQ: its diff of two large texts takes minutes
  EXPECT_TRUE(fs::exists(Output(site / "empty.htm")));
  EXPECT_EQ(fs::file_size(Output(site / "empty.htm")), 0u);
  EXPECT_EQ(ReadBytes(Output(site / "x" / "page.html")), "<font>\r\n</font>");
  EXPECT_EQ(LogLines().size(), 5u);
  EXPECT_EQ(LogLines()[2], "Файлов обработано 3");
}

TEST_F(BatchRunTest, FolderWithoutPagesWritesOnlyTheLog) {
  WriteBytes(site / "readme.txt", "x");
  fs::create_directories(site / "pages.htm");  // a folder, never a page
  Execute();
  EXPECT_EQ(OutputFileCount(), 0);
  EXPECT_TRUE(test::StartsWith(host.LastStatus(), "Готово. Обработано 0 файлов. "));
  const std::vector<std::string> log = LogLines();
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[2], "Файлов обработано 0");
  ExpectEndedCleanly();
}

TEST_F(BatchRunTest, StopWhileTheSecondFileLoadsKeepsOnlyTheFirst) {
  const std::string page = "<script>s</script>" + std::string(200000, 'x');
  for (const char* name : {"a.htm", "b.htm", "c.htm"}) {
    WriteBytes(site / name, page);
  }
  host.Enable(ProcedureId::kScript);
  int loads = 0;
  host.onPump = [&] {
    if (host.LastStatus() == "Загрузка...") {
      loads += 1;
    }
    // The second file is loading: its first block has been read.
    if (std::count(host.statuses.begin(), host.statuses.end(), "Загрузка...") == 2) {
      run.RequestStop();
    }
  };
  Execute();

  EXPECT_EQ(OutputFileCount(), 1);
  EXPECT_TRUE(test::StartsWith(host.LastStatus(), "Готово. Обработано 1 файлов. "));
  // The run ends before the page in progress: the second file is neither logged nor written,
  // and the third not touched.
  const std::vector<std::string> body = LogBody();
  ASSERT_EQ(body.size(), 2u);
  EXPECT_TRUE(body[0].starts_with((site / "a.htm").string() + " удален <script>")) << body[0];
  EXPECT_EQ(body.back(), kStopped);
  EXPECT_EQ(LogLines()[2], "Файлов обработано 3");
  // The summary: one page written, two not reached, the run stopped.
  EXPECT_TRUE(run.Summary().stopped);
  EXPECT_EQ(run.Summary().pagesChanged, 1u);
  EXPECT_EQ(run.Summary().pagesNotReached, 2u);
  EXPECT_EQ(host.lines[host.lines.size() - 3], kStopped);
  EXPECT_EQ(std::count(host.statuses.begin(), host.statuses.end(), "Загрузка..."), 2);
  ExpectEndedCleanly();

  // A stop asked for between runs is not carried into the next one.
  host.onPump = nullptr;
  run.RequestStop();
  Execute();
  EXPECT_EQ(OutputFileCount(), 3);
  EXPECT_EQ(LogBody().size(), 3u);
}

TEST_F(BatchRunTest, StopDuringTheSearchProcessesNothing) {
  for (int i = 0; i < 20; ++i) {
    WriteBytes(site / ("p" + std::to_string(i) + ".htm"), "x");
  }
  host.onPump = [&] {
    if (host.pumps == 5) {
      run.RequestStop();
    }
  };
  Execute();
  EXPECT_EQ(OutputFileCount(), 0);
  EXPECT_EQ(LogBody(), std::vector<std::string>{std::string(kStopped)});
  EXPECT_TRUE(test::StartsWith(host.LastStatus(), "Готово. Обработано 0 файлов. "));
}

TEST_F(BatchRunTest, BannerSlotsAreReadFromTheFileForEveryFile) {
  const IniFile settings(ini);
  WriteBanner(settings, 0, {"", ""});       // empty slot: skipped
  WriteBanner(settings, 3, {"", "</ad>"});  // only Last: still used
  WriteBanner(settings, 5, {"<!-- Реклама -->", "<!-- /Реклама -->"});
  settings.WriteString("Banner21", "First", "<x>");  // not a slot
  settings.WriteString("Banner21", "Last", "</x>");
  const std::string page = Utf8ToCp1251(
      "1</ad>2</ad><x>3</x><!-- реклама -->4<!-- /реклама --><!-- Реклама -->5"
      "<!-- /Реклама -->6");
  WriteBytes(site / "a.htm", page);
  WriteBytes(site / "b.htm", page);

  // Switched off: nothing is read, nothing removed.
  Execute();
  EXPECT_EQ(ReadBytes(Output(site / "a.htm")), page);

  host.Enable(ProcedureId::kBanner);
  // As the second file is taken on, slot 3 changes: that file sees the new markers.
  host.onSwitchAsked = [&] {
    if (host.progress.size() >= 2 && host.progress.back().first == 1) {
      WriteBanner(settings, 3, {"", "<x>"});
    }
  };
  Execute();
  std::vector<std::string> results = {ReadBytes(Output(site / "a.htm")),
                                      ReadBytes(Output(site / "b.htm"))};
  std::sort(results.begin(), results.end());
  // Cyrillic markers match only in their own case; the first closing marker alone goes.
  EXPECT_EQ(results[0], Utf8ToCp1251("12</ad><x>3</x><!-- реклама -->4<!-- /реклама -->6"));
  EXPECT_EQ(results[1], Utf8ToCp1251("1</ad>2</ad>3</x><!-- реклама -->4<!-- /реклама -->6"));
  const std::vector<std::string> body = LogBody();
  ASSERT_EQ(body.size(), 4u);
  EXPECT_NE(std::find_if(body.begin(), body.end(),
                         [](const std::string& l) {
                           return l.ends_with(" удален <!-- Реклама --> [50]") ||
                                  l.ends_with(" удален <!-- Реклама --> [46]");
                         }),
            body.end());
}

// A slot saved while a page is cleaned counts from the next page on, as the switches do.
TEST_F(BatchRunTest, ASlotSavedDuringAPageCountsFromTheNextPage) {
  const IniFile settings(ini);
  WriteBanner(settings, 0, {"<a>", "</a>"});
  WriteBytes(site / "a.htm", "x<a>1</a>y<b>2</b>z");
  WriteBytes(site / "b.htm", "x<a>1</a>y<b>2</b>z");
  host.Enable(ProcedureId::kBanner);
  host.onPump = [&] {
    // The first pump while the first page is cleaned comes after slot 0 removed its block.
    if (test::StartsWith(host.LastStatus(), "Обработка") &&
        ReadBanner(IniSnapshot(settings.Path()), 1).first.empty()) {
      WriteBanner(settings, 1, {"<b>", "</b>"});
    }
  };
  Execute();
  const std::vector<std::string> body = LogBody();
  ASSERT_EQ(body.size(), 3u);
  const std::string first = body[0].substr(0, body[0].find(' '));
  const std::string second = first == (site / "a.htm").string() ? "b.htm" : "a.htm";
  EXPECT_EQ(ReadBytes(Output(first)), "xy<b>2</b>z");
  EXPECT_EQ(ReadBytes(Output(site / second)), "xyz");
}

// log.txt is the five header lines and then every line the run gave the pane, each in cp1251
// and ended by CR LF, whether the run ends complete, stopped or by an error; the lines pass
// through the disk buffer many times.
TEST_F(BatchRunTest, LogFileHoldsTheHeaderAndEveryLineOfThePane) {
  std::string spans;
  for (int i = 0; i < 3000; ++i) {
    spans += "<span class=k>" + std::to_string(i) + "</span>";
  }
  for (const char* name : {"a.htm", "b.htm", "c.htm"}) {
    WriteBytes(site / "раздел" / name, spans);
  }
  host.Enable(ProcedureId::kSpan);
  enum class End { kComplete, kStopped, kError };
  for (const End end : {End::kComplete, End::kStopped, End::kError}) {
    SCOPED_TRACE(static_cast<int>(end));
    fs::remove_all(out);
    host.onPump = nullptr;
    if (end == End::kStopped) {
      // In the middle of the second page, which is then neither logged nor written.
      host.onPump = [&] {
        if (host.lines.size() == 6000) {
          run.RequestStop();
        }
      };
    }
    if (end == End::kError) {
      fs::create_directories(Output(site / "раздел" / "b.htm"));  // a folder in the copy's place
      ExecuteExpectingError();
    } else {
      Execute();
    }
    // The host is told how the run ended, with the summary it shows.
    EXPECT_EQ(host.ends.back(), end == End::kStopped ? RunEnd::How::kStopped
                                : end == End::kError ? RunEnd::How::kFailed
                                                     : RunEnd::How::kComplete);
    const std::string bytes = ReadBytes(LogFile());
    std::string expected;
    std::size_t headerEnd = 0;
    for (int i = 0; i < 5; ++i) {
      headerEnd = bytes.find("\r\n", headerEnd) + 2;
    }
    expected = bytes.substr(0, headerEnd);
    ASSERT_EQ(host.lines.size() >= 2 ? host.lines[host.lines.size() - 2] : "x", "");
    for (std::size_t i = 0; i + 2 < host.lines.size(); ++i) {
      expected += Utf8ToCp1251(host.lines[i]) + "\r\n";
    }
    EXPECT_EQ(host.lines.size(), end == End::kStopped ? 6003u
                                 : end == End::kError ? 12003u
                                                      : 18002u);
    EXPECT_TRUE(bytes == expected);
    EXPECT_EQ(Cp1251ToUtf8(bytes.substr(0, bytes.find("\r\n"))), kProduct);
    EXPECT_EQ(LogLines()[2], "Файлов обработано 3");
  }
}

// The output folder turns into a file in the middle of the run: the run ends with an error,
// log.txt cannot be written, and nothing half-written or temporary is left anywhere.
TEST_F(BatchRunTest, OutputFolderLostMidRunLeavesNoLogAndNoTemporaryFile) {
  for (const char* name : {"a.htm", "b.htm", "c.htm"}) {
    WriteBytes(site / name, "<script></script>" + std::string(name));
  }
  host.Enable(ProcedureId::kScript);
  const fs::path moved = dir / "moved";
  host.onPump = [&] {
    if (!host.progress.empty() && host.progress.back().first == 1 && !fs::exists(moved)) {
      fs::rename(out, moved);
      WriteBytes(out, "not a folder");
    }
  };
  const std::string message = ExecuteExpectingError();
  EXPECT_TRUE(message.starts_with("Cannot create file")) << message;
  ExpectEndedCleanly();
  std::vector<std::string> left;
  for (const auto& e : fs::recursive_directory_iterator(moved)) {
    if (e.is_regular_file()) {
      left.push_back(e.path().filename().string());
    }
  }
  EXPECT_EQ(left.size(), 1u);  // the page written before, and nothing else
  EXPECT_EQ(ReadBytes(out), "not a folder");
}

// The switches and the output folder are asked for as each page is taken on: a change made
// while a page is cleaned counts from the next page.
TEST_F(BatchRunTest, SwitchesAndStoreDirAreAskedForEveryFile) {
  WriteBytes(site / "a.htm", "<script></script>a");
  WriteBytes(site / "b.htm", "<script></script>b");
  WriteBytes(site / "c.htm", "<script></script>c");
  host.Enable(ProcedureId::kScript);
  const fs::path other = dir / "other";
  // Once the first file is written (while the second is cleaned), the script switch goes off
  // and the output folder moves.
  host.onPump = [&] {
    if (!host.progress.empty() && host.progress.back().first == 1) {
      host.switches = {};
      host.outputFolder = other.string();
    }
  };
  Execute();
  int cleaned = 0;
  for (const char* name : {"a.htm", "b.htm", "c.htm"}) {
    const fs::path first = Output(site / name);
    const fs::path second = other.string() + (site / name).string();
    ASSERT_NE(fs::exists(first), fs::exists(second)) << name;
    cleaned += fs::exists(first);
    const std::string text = ReadBytes(fs::exists(first) ? first : second);
    EXPECT_EQ(text.starts_with("<script>"), !fs::exists(first)) << name;
  }
  EXPECT_EQ(cleaned, 2);
  // Twelve questions per file, in run order.
  ASSERT_EQ(host.switchesAsked.size(), 3 * kProcedureCount);
  EXPECT_EQ(host.switchesAsked.front(), ProcedureId::kBanner);
  EXPECT_EQ(host.switchesAsked[kProcedureCount - 1], ProcedureId::kOnMouseOver);
  // log.txt follows the output folder of the moment.
  EXPECT_TRUE(fs::exists(other.string() + (site / "log.txt").string()));
}

TEST_F(BatchRunTest, FolderTextEndingWithASeparatorGetsNoSecondOne) {
  WriteBytes(site / "sub" / "a.htm", "<script></script>");
  host.folder = site.string() + "/";
  host.Enable(ProcedureId::kScript);
  Execute();
  EXPECT_TRUE(fs::exists(Output(site / "sub" / "a.htm")));
  EXPECT_EQ(LogBody(),
            std::vector<std::string>{(site / "sub/a.htm").string() + " удален <script> [1]"});
}

TEST_F(BatchRunTest, RelativeFolderTextIsTakenFromTheWorkingDirectory) {
  WriteBytes(site / "a.htm", "a");
  const fs::path cwd = fs::current_path();
  host.folder = fs::relative(site, cwd).string();
  Execute();
  EXPECT_EQ(fs::current_path(), cwd);
  EXPECT_EQ(ReadBytes(Output(site / "a.htm")), "a");
  EXPECT_TRUE(fs::exists(LogFile()));
}

TEST_F(BatchRunTest, ReadOnlySourceIsProcessedAndNeverWritten) {
  const std::string page = "<script></script><span>x</span>";
  WriteBytes(site / "a.htm", page);
  ::chmod((site / "a.htm").c_str(), 0444);
  host.switches.fill(true);
  Execute();
  EXPECT_EQ(ReadBytes(site / "a.htm"), page);
  EXPECT_EQ(ReadBytes(Output(site / "a.htm")), "x");
}

// An output folder that maps the searched folder onto itself is refused before anything is
// written: not a page, and not log.txt over the user's own log.txt.
TEST_F(BatchRunTest, OutputFolderMappingTheTreeOntoItselfIsRefused) {
  const std::string page = "<script></script>a";
  WriteBytes(site / "a.htm", page);
  WriteBytes(site / "log.txt", "the user's own");
  host.Enable(ProcedureId::kScript);
  for (const std::string& root : std::vector<std::string>{"/", "/.", "//", "/tmp/.."}) {
    SCOPED_TRACE(root);
    host.outputFolder = root;
    EXPECT_EQ(ExecuteExpectingError(), "Каталог сохраненных файлов \"" + root +
                                           "\" отображает папку \"" + site.string() +
                                           "\" на нее саму: копии легли бы поверх исходных файлов");
    EXPECT_EQ(ReadBytes(site / "a.htm"), page);
    EXPECT_EQ(ReadBytes(site / "log.txt"), "the user's own");
  }
  EXPECT_EQ(host.ended, 4);

  // A hard link at the output path is the source itself.
  host.outputFolder = out.string();
  fs::create_directories(Output(site));
  fs::create_hard_link(site / "a.htm", Output(site / "a.htm"));
  EXPECT_NE(ExecuteExpectingError().find("The output file is the source file itself"),
            std::string::npos);
  EXPECT_EQ(ReadBytes(site / "a.htm"), page);
}

// The output tree inside the searched one, where a page stands at the mirrored path of
// another page: that page is never replaced.
TEST_F(BatchRunTest, NoOutputReplacesAPageOfTheRun) {
  host.outputFolder = (site / "out").string();
  const fs::path mirrored = (site / "out").string() + (site / "b.htm").string();
  WriteBytes(site / "b.htm", "<script></script>b");
  WriteBytes(mirrored, "a page of its own");
  host.Enable(ProcedureId::kScript);
  const std::string message = ExecuteExpectingError();
  EXPECT_EQ(message, "Cannot create file \"" + mirrored.string() +
                         "\". The output file is a page of this run");
  EXPECT_EQ(ReadBytes(mirrored), "a page of its own");
}

// On an output file system that ignores letter case (played here on one that does not, by the
// run's probe) "a.htm" and "A.htm", in one folder or in folders spelled apart, would be one
// copy: the second page is refused, named and counted, at one job and at four; where the file
// system tells case apart both are written.
TEST_F(BatchRunTest, PagesWhoseCopiesFoldToOneNameOnACaseBlindDiskAreRefused) {
  WriteBytes(site / "a.htm", "<script></script>lower");
  WriteBytes(site / "A.htm", "<script></script>upper");
  WriteBytes(site / "Sub" / "x.htm", "x");
  WriteBytes(site / "sub" / "X.HTM", "y");
  WriteBytes(site / "sub" / "other.htm", "z");
  host.Enable(ProcedureId::kScript);
  for (const bool blind : {true, false}) {
    for (const std::size_t jobs : {1, 4}) {
      SCOPED_TRACE(std::string(blind ? "ignores case" : "tells case apart") + ", jobs " +
                   std::to_string(jobs));
      fs::remove_all(out);
      host.RunStarted();
      std::vector<std::string> probed;
      run.SetCaseProbe([&](const std::string& folder) -> std::optional<bool> {
        if (!fs::is_directory(folder)) {
          return std::nullopt;  // as the real probe answers: nothing of the run is there
        }
        probed.push_back(folder);
        return blind;
      });
      run.SetJobs(jobs);
      if (!blind) {
        Execute();
        EXPECT_EQ(OutputFileCount(), 5);
        continue;
      }
      Execute();
      EXPECT_EQ(run.RefusedPages(), 2u);
      EXPECT_EQ(OutputFileCount(), 3);
      int refusals = 0;
      for (const std::string& line : host.lines) {
        refusals += line.find("The output file exists as another page's copy") != std::string::npos;
      }
      EXPECT_EQ(refusals, 2);
      // Each folder that exists is probed once a run, however many pages go there.
      std::set<std::string> once(probed.begin(), probed.end());
      EXPECT_EQ(once.size(), probed.size());
    }
  }
}

// A folder text naming a file, a folder that cannot be listed (too deep for the system's path
// limit), an entry that cannot be reached: refused, or reported and passed over.
TEST_F(BatchRunTest, WhatCannotBeSearchedIsRefusedOrReported) {
  WriteBytes(site / "a.htm", "a");
  host.folder = (site / "a.htm").string();
  EXPECT_EQ(ExecuteExpectingError(), "Это не папка: " + (site / "a.htm").string());
  EXPECT_FALSE(fs::exists(out));

  host.folder = site.string();
  // A chain of folders whose path passes PATH_MAX, made step by step from inside.
  std::string deep = (site / "deep").string();
  const std::string step(200, 'd');
  fs::create_directories(deep);
  int fd = ::open(deep.c_str(), O_RDONLY | O_DIRECTORY);
  for (int i = 0; i < 24; ++i) {
    ASSERT_EQ(::mkdirat(fd, step.c_str(), 0755), 0);
    const int next = ::openat(fd, step.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(fd);
    fd = next;
  }
  ::close(fd);
  fs::create_symlink("loop.htm", site / "loop.htm");  // a link to itself
  Execute();
  const std::vector<std::string> body = LogBody();
  ASSERT_EQ(body.size(), 2u);
  std::vector<std::string> sorted = body;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_TRUE(sorted[0].ends_with(" пропущен: File name too long")) << sorted[0];
  EXPECT_EQ(sorted[1],
            (site / "loop.htm").string() + " пропущен: Too many levels of symbolic links");
  EXPECT_TRUE(host.LastStatus().ends_with(" Пропущено: 2")) << host.LastStatus();
  EXPECT_EQ(ReadBytes(Output(site / "a.htm")), "a");
  // Removing the deep chain takes the same care.
  fs::remove_all(site / "deep", *std::make_unique<std::error_code>());
}

// An output folder the user may not write: the message gives that reason, not the missing
// folder it leaves behind. Root may write anywhere, so as root the run is made by a child
// that has given up its rights.
TEST_F(BatchRunTest, AnOutputFolderThatCannotBeMadeIsReportedWithItsCause) {
  WriteBytes(site / "a.htm", "a");
  fs::create_directories(out);
  ::chmod(out.c_str(), 0555);
  ::chmod(dir.Path().c_str(), 0755);
  const auto run = [&] {
    FakeHost quiet;
    quiet.folder = site.string();
    quiet.outputFolder = out.string();
    BatchRun child(quiet, ini);
    const RunEnd end = child.Execute();
    if (end.how != RunEnd::How::kFailed) {
      return 2;
    }
    const std::string expected =
        "Cannot create file \"" + Output(site / "a.htm").string() + "\". Permission denied";
    // log.txt cannot be made there either: its own error follows on a second line.
    return end.error.substr(0, end.error.find('\n')) == expected ? 0 : 1;
  };
  if (::geteuid() != 0) {
    EXPECT_EQ(run(), 0);
    return;
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
      ::_exit(3);
    }
    ::_exit(run());
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(BatchRunTest, EmptyFolderTextOrStoreDirIsRefused) {
  WriteBytes(site / "a.htm", "a");
  host.folder = "";
  EXPECT_EQ(ExecuteExpectingError(), "Не указана папка с HTML файлами");
  ExpectEndedCleanly();
  host.folder = site.string();
  host.outputFolder = "";
  EXPECT_EQ(ExecuteExpectingError(), "Не указан каталог сохраненных файлов");
  EXPECT_EQ(host.ended, 2);
  EXPECT_FALSE(fs::exists(out));
}

// log.txt and the terminal keep the stored texts; the interface names the folder.
TEST_F(BatchRunTest, MissingFolderIsAnError) {
  host.folder = (dir / "nowhere").string();
  EXPECT_EQ(ExecuteExpectingError(), "File not found");
  EXPECT_EQ(run.Execute().shownError, "Папка не найдена: " + host.folder);
  host.folder = (dir / "nowhere" / "deeper" / "deepest").string();
  EXPECT_EQ(ExecuteExpectingError(), "Invalid filename");
  EXPECT_EQ(run.Execute().shownError, "Папка не найдена: " + (dir / "nowhere" / "deeper").string());
  EXPECT_EQ(host.ended, 4);
}

TEST_F(BatchRunTest, ErrorEndsTheRunCleanlyAndTheLogKeepsIt) {
  for (const char* name : {"a.htm", "b.htm", "c.htm"}) {
    WriteBytes(site / name, "<script></script>" + std::string(name));
  }
  host.Enable(ProcedureId::kScript);
  // A folder where b.htm's copy should go: the copy cannot be put in place.
  fs::create_directories(Output(site / "b.htm"));
  const std::string message = ExecuteExpectingError();
  EXPECT_TRUE(
      message.starts_with("Cannot create file \"" + Output(site / "b.htm").string() + "\". "))
      << message;
  ExpectEndedCleanly();
  // log.txt ends with the error; the pane agrees, then says where the log went.
  const std::vector<std::string> body = LogBody();
  ASSERT_FALSE(body.empty());
  EXPECT_EQ(body.back(), message);
  ASSERT_GE(host.lines.size(), 3u);
  EXPECT_EQ(host.lines[host.lines.size() - 3], message);
  EXPECT_EQ(host.lines.back(), "Лог сохранен в " + LogFile().string());
  EXPECT_FALSE(fs::exists(site / "b.htm.tmp"));

  // Nothing of the failed run is left over for the next one.
  fs::remove(Output(site / "b.htm"));
  Execute();
  EXPECT_EQ(OutputFileCount(), 3);
  EXPECT_EQ(ReadBytes(Output(site / "b.htm")), "b.htm");
  EXPECT_EQ(LogBody().size(), 3u);
}

TEST_F(BatchRunTest, LinksPlantedAtOutputPathsAreReplacedNotFollowed) {
  WriteBytes(site / "a.htm", "new");
  WriteBytes(dir / "victim", "keep");
  fs::create_directories(Output(site));
  fs::create_symlink(dir / "victim", Output(site / "a.htm"));
  fs::create_symlink(dir / "victim", LogFile());
  Execute();
  EXPECT_EQ(ReadBytes(dir / "victim"), "keep");
  EXPECT_FALSE(fs::is_symlink(Output(site / "a.htm")));
  EXPECT_EQ(ReadBytes(Output(site / "a.htm")), "new");
  EXPECT_FALSE(fs::is_symlink(LogFile()));
  EXPECT_EQ(LogLines().size(), 5u);
}

// The system's converter, as the independent reader of log.txt; nothing when the bytes are not
// all of `from`.
std::optional<std::string> IconvToUtf8(const char* from, std::string in) {
  const iconv_t cd = iconv_open("UTF-8", from);
  std::string out(in.size() * 4 + 8, '\0');
  char* src = in.data();
  std::size_t srcLeft = in.size();
  char* dst = out.data();
  std::size_t dstLeft = out.size();
  const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  out.resize(out.size() - dstLeft);
  return ok ? std::optional<std::string>(out) : std::nullopt;
}

// log.txt loses no name, in either encoding, on one thread or several: in cp1251 a character
// it lacks is its decimal reference, in UTF-8 a character is as it is; in both a name's own
// "&#" becomes "&#38;#" (so that a reference always means a character) and a byte that is not
// UTF-8 the reference of the lone surrogate that stands for it.
TEST_F(BatchRunTest, LogTxtLosesNoNameInEitherEncoding) {
  const std::string names[] = {"caf\u00E9.htm", "\u6587\u4EF6.htm", "\u6587\u4E66.htm",
                               "\xE0\xE1.htm", "a&#1.htm"};
  const struct {
    LogEncoding encoding;
    const char* iconvName;
    std::string shown[5];  // each name as log.txt, read back, shows it
  } cases[] = {
      {LogEncoding::kCp1251,
       "CP1251",
       {"caf&#233;.htm", "&#25991;&#20214;.htm", "&#25991;&#20070;.htm", "&#56544;&#56545;.htm",
        "a&#38;#1.htm"}},
      {LogEncoding::kUtf8,
       "UTF-8",
       {"café.htm", "文件.htm", "文书.htm", "&#56544;&#56545;.htm", "a&#38;#1.htm"}},
  };
  for (const std::string& name : names) {
    WriteBytes(site / name, "<script></script>");
  }
  host.Enable(ProcedureId::kScript);
  for (const auto& c : cases) {
    for (const std::size_t jobs : {1, 3}) {
      SCOPED_TRACE(std::string(c.iconvName) + " jobs " + std::to_string(jobs));
      host.logEncoding = c.encoding;
      run.SetJobs(jobs);
      Execute();
      const std::optional<std::string> log = IconvToUtf8(c.iconvName, ReadBytes(LogFile()));
      ASSERT_TRUE(log.has_value());
      EXPECT_NE(log->find("Файл сгенерирован программой Varnow 0.9.9\r\n"), std::string::npos);
      for (const std::string& shown : c.shown) {
        EXPECT_NE(log->find("/" + shown + " удален <script> [1]\r\n"), std::string::npos)
            << shown << " in\n"
            << *log;
      }
    }
  }
}

// No name can pass for another or forge a line: "\xff\xfe" (not UTF-8) and "яю" give two
// texts, and a name holding CR LF stays on its line, in log.txt and in what the host shows.
TEST_F(BatchRunTest, NamesNeitherCollideNorBeginALine) {
  const std::string names[] = {"\xFF\xFE bad.htm", "яю bad.htm",
                               "x.htm\r\nfake.htm удален <style> [53]\r\n.htm"};
  for (const std::string& name : names) {
    WriteBytes(site / name, "<script></script>");
  }
  host.Enable(ProcedureId::kScript);
  Execute();
  const std::vector<std::string> log = LogLines();
  const std::string folder = site.string() + "/";
  for (const std::string& line : {folder + "&#56575;&#56574; bad.htm удален <script> [1]",
                                  folder + "яю bad.htm удален <script> [1]",
                                  folder + "x.htm&#13;&#10;fake.htm удален <style> [53]&#13;&#10;"
                                           ".htm удален <script> [1]"}) {
    EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << line;
    EXPECT_NE(std::find(host.lines.begin(), host.lines.end(), line), host.lines.end()) << line;
  }
  for (const std::string& line : log) {
    EXPECT_FALSE(line.starts_with("fake.htm")) << line;
  }
}

// What a run left in the output folder: every folder and file but log.txt and the manifest,
// with its bytes.
std::map<std::string, std::string> OutputTree(const fs::path& out) {
  std::map<std::string, std::string> tree;
  for (const auto& e : fs::recursive_directory_iterator(out)) {
    const std::string name = fs::relative(e.path(), out).string();
    if (e.is_directory()) {
      tree[name + "/"] = "";
    } else if (e.path().filename() != "log.txt" && e.path().filename() != ".varnow-manifest") {
      tree[name] = ReadBytes(e.path());
    }
  }
  return tree;
}

// Random pages in several folders, cleaned on four threads and stopped after the k-th page is
// written, leave exactly what one thread leaves: the same copies, not one folder more, the
// same lines in the pane and in log.txt, which ends as a stopped run's does.
TEST_F(BatchRunTest, AParallelRunStopsWhereOneThreadStops) {
  std::mt19937_64 rng(7);
  for (int i = 0; i < 24; ++i) {
    WriteBytes(site / ("f" + std::to_string(i % 4)) / ("p" + std::to_string(i) + ".htm"),
               test::RandomHtml(rng, test::RandomDocumentSize(rng)));
  }
  for (const ProcedureId s : kRunOrder) {
    host.Enable(s);
  }
  for (const std::size_t stopAt : {std::size_t{0}, std::size_t{3}, std::size_t{13}}) {
    SCOPED_TRACE("stopped after " + std::to_string(stopAt) + " pages");
    struct Result {
      std::map<std::string, std::string> tree;
      std::vector<std::string> pane, log;
    };
    std::vector<Result> results;
    for (const std::size_t jobs : {1, 4}) {
      fs::remove_all(out);
      host.progress.clear();
      run.SetJobs(jobs);
      host.onPump = [&] {
        if (!host.progress.empty() && host.progress.back().first == stopAt) {
          run.RequestStop();
        }
      };
      Execute();
      results.push_back({OutputTree(out), host.lines, LogBody()});
      EXPECT_EQ(OutputFileCount(), static_cast<int>(stopAt));
      EXPECT_EQ(results.back().log.back(), kStopped);
      EXPECT_FALSE(run.Running());
    }
    EXPECT_TRUE(results[0].tree == results[1].tree);
    EXPECT_EQ(results[0].pane, results[1].pane);
    EXPECT_EQ(results[0].log, results[1].log);
  }
}

// A change saved during a run, on one thread or on four, splits the pages in the file list's
// order: those before it cleaned with the old settings, every page from one at or after it with
// the new, never a page cleaned ahead with the old settings committed after the change.
TEST_F(BatchRunTest, AChangeDuringARunCountsFromAPageInOrder) {
  constexpr int kPages = 40;
  for (int i = 0; i < kPages; ++i) {
    WriteBytes(
        site / ("p" + std::to_string(i) + ".htm"),
        "<span>z</span><script>s</script><!--b-->x<!--/b-->" + std::string(20000 * (i % 3), 'y'));
  }
  const IniFile settings(ini);
  // Each change, and what a page cleaned before and after it becomes.
  const struct {
    const char* name;
    std::function<void()> change;
    std::string before, after;
  } cases[] = {
      {"script switched off", [&] { host.switches[Index(ProcedureId::kScript)] = false; },
       "z<!--b-->x<!--/b-->", "z<script>s</script><!--b-->x<!--/b-->"},
      {"banner slot saved",
       [&] {
         WriteBanner(settings, 0, {"<!--b-->", "<!--/b-->"});
       },
       "z<!--b-->x<!--/b-->", "z"},
  };
  for (const auto& c : cases) {
    for (const std::size_t jobs : {1, 4}) {
      SCOPED_TRACE(std::string(c.name) + ", jobs " + std::to_string(jobs));
      fs::remove_all(out);
      WriteBanner(settings, 0, {"", ""});
      host.switches = {};
      host.Enable(ProcedureId::kScript);
      host.Enable(ProcedureId::kBanner);
      host.Enable(ProcedureId::kSpan);  // every page logs a line: the log gives their order
      host.progress.clear();
      run.SetJobs(jobs);
      bool changed = false;
      host.onPump = [&] {
        if (!changed && !host.progress.empty() && host.progress.back().first == 5) {
          c.change();
          ++host.generation;
          changed = true;
        }
      };
      Execute();
      ASSERT_TRUE(changed);
      std::vector<std::string> order;
      for (const std::string& page : host.changePages) {
        if (order.empty() || order.back() != page) {
          order.push_back(page);
        }
      }
      ASSERT_EQ(order.size(), std::size_t{kPages});
      std::size_t newFrom = kPages;
      std::size_t oldAfterNew = 0;
      for (const std::string& page : order) {
        const std::string copy = ReadBytes(Output(page));
        const std::string rest = copy.substr(0, copy.find('y'));
        const bool isNew = rest == c.after;
        EXPECT_TRUE(isNew || rest == c.before) << page << ": " << rest;
        const auto place = static_cast<std::size_t>(&page - order.data());
        if (isNew) {
          newFrom = std::min(newFrom, place);
        } else if (newFrom < place) {
          ++oldAfterNew;
        }
      }
      EXPECT_GE(newFrom, 5u);
      EXPECT_LE(newFrom, 6u);
      EXPECT_EQ(oldAfterNew, 0u);
    }
  }
}

// Threads that cannot be started are done without, down to the run's own: the result is one
// thread's all the same.
TEST_F(BatchRunTest, AParallelRunWithFewerThreadsThanAskedFor) {
  std::mt19937_64 rng(8);
  for (int i = 0; i < 12; ++i) {
    WriteBytes(site / ("f" + std::to_string(i % 3)) / ("p" + std::to_string(i) + ".htm"),
               test::RandomHtml(rng, test::RandomDocumentSize(rng)));
  }
  for (const ProcedureId s : kRunOrder) {
    host.Enable(s);
  }
  run.SetJobs(1);
  Execute();
  const auto expected = OutputTree(out);
  const std::vector<std::string> expectedLog = LogBody();
  for (const int started : {0, 1, 3}) {
    SCOPED_TRACE(std::to_string(started) + " threads started of 4");
    fs::remove_all(out);
    int starts = 0;
    run.SetJobs(4);
    run.SetThreadStarter([&](std::function<void()> body) {
      if (starts++ >= started) {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
      }
      return std::thread(std::move(body));
    });
    Execute();
    EXPECT_TRUE(OutputTree(out) == expected);
    EXPECT_EQ(LogBody(), expectedLog);
  }
}

// An allocation that fails while a page is cleaned ends the run with a message that says so.
TEST_F(BatchRunTest, RunningOutOfMemoryIsAnError) {
  WriteBytes(site / "a.htm", "<script>1</script>a");
  WriteBytes(site / "b.htm", "<script>2</script>b");
  host.Enable(ProcedureId::kScript);
  host.onPump = [&] {
    if (OutputFileCount() == 1) {
      throw std::bad_alloc();
    }
  };
  const std::string message = ExecuteExpectingError();
  EXPECT_EQ(message, "Not enough memory to clean file \"" + (site / "b.htm").string() + "\"");
  EXPECT_EQ(OutputFileCount(), 1);
  EXPECT_EQ(LogBody().back(), message);
}

// On several jobs, an allocation that fails on the run's thread while pages ahead hold memory
// drops them and goes on with fewer threads: the run completes with what one thread writes.
TEST_F(BatchRunTest, RunningOutOfMemoryWithPagesAheadGoesOnWithFewerThreads) {
  std::mt19937_64 rng(37);
  for (int i = 0; i < 12; ++i) {
    WriteBytes(site / ("p" + std::to_string(i) + ".htm"),
               test::RandomHtml(rng, test::RandomDocumentSize(rng)));
  }
  for (const ProcedureRow& row : kProcedures) {
    host.Enable(row.id);
  }
  run.SetJobs(1);
  Execute();
  const std::map<std::string, std::string> expected = OutputTree(out);
  const std::vector<std::string> expectedLog = LogBody();
  fs::remove_all(out);
  run.SetJobs(4);
  bool thrown = false;
  host.onPump = [&] {
    if (!thrown && !host.progress.empty() && host.progress.back().first == 2) {
      thrown = true;
      throw std::bad_alloc();
    }
  };
  Execute();
  EXPECT_TRUE(thrown);
  EXPECT_TRUE(OutputTree(out) == expected);
  EXPECT_EQ(LogBody(), expectedLog);
}

// The run's summary, counted page by page as pages are written, says what log.txt says: the
// changes of each procedure and the pages it changed; its byte counts add up to the copies'.
TEST_F(BatchRunTest, TheSummaryCountsWhatTheLogSays) {
  std::mt19937_64 rng(25);
  std::uint64_t bytesIn = 0;
  for (int i = 0; i < 30; ++i) {
    const std::string page = test::RandomHtml(rng, test::RandomDocumentSize(rng));
    bytesIn += page.size();
    WriteBytes(site / ("d" + std::to_string(i % 4)) / ("p" + std::to_string(i) + ".htm"), page);
  }
  WriteBytes(site / "plain.htm", "no change here");
  bytesIn += 14;
  for (const ProcedureRow& row : kProcedures) {
    host.Enable(row.id);
  }
  for (const std::size_t jobs : {1, 3}) {
    SCOPED_TRACE("jobs " + std::to_string(jobs));
    run.SetJobs(jobs);
    Execute();
    const RunSummary& s = run.Summary();
    std::array<std::uint64_t, kProcedureCount> changes{};
    std::array<std::set<std::string>, kProcedureCount> pages;
    for (std::size_t i = 0; i < host.changeProcedures.size(); ++i) {
      ++changes[Index(host.changeProcedures[i])];
      pages[Index(host.changeProcedures[i])].insert(host.changePages[i]);
    }
    std::int64_t grown = 0;
    std::uint64_t total = 0;
    for (const ProcedureRow& row : kProcedures) {
      EXPECT_EQ(s.procedures[Index(row.id)].changes, changes[Index(row.id)]) << row.key;
      EXPECT_EQ(s.procedures[Index(row.id)].pages, pages[Index(row.id)].size()) << row.key;
      grown += static_cast<std::int64_t>(s.procedures[Index(row.id)].inserted) -
               static_cast<std::int64_t>(s.procedures[Index(row.id)].removed);
      total += changes[Index(row.id)];
    }
    // Every change is a line of log.txt that names its page.
    std::uint64_t logged = 0;
    for (const std::string& line : LogBody()) {
      logged += test::StartsWith(line, site.string() + "/") ? 1 : 0;
    }
    EXPECT_EQ(logged, total);
    EXPECT_EQ(s.pagesFound, 31u);
    EXPECT_EQ(s.pagesChanged + s.pagesUnchanged, 31u);
    EXPECT_GE(s.pagesUnchanged, 1u);
    EXPECT_EQ(s.pagesFailed + s.pagesNotReached, 0u);
    EXPECT_EQ(s.bytesIn, bytesIn);
    std::uint64_t bytesOut = 0;
    for (const auto& e : fs::recursive_directory_iterator(out)) {
      bytesOut += e.is_regular_file() && e.path().filename() != "log.txt" &&
                          e.path().filename() != ".varnow-manifest"
                      ? e.file_size()
                      : 0;
    }
    EXPECT_EQ(s.bytesOut, bytesOut);
    EXPECT_EQ(static_cast<std::int64_t>(s.bytesOut - s.bytesIn), grown);
    ASSERT_EQ(s.topPages.size(), RunSummary::kTopPages);
    for (std::size_t i = 1; i < s.topPages.size(); ++i) {
      EXPECT_GE(s.topPages[i - 1].changes, s.topPages[i].changes);
    }
    const auto most =
        std::max_element(host.changePages.begin(), host.changePages.end(),
                         [&](const std::string& a, const std::string& b) {
                           return std::count(host.changePages.begin(), host.changePages.end(), a) <
                                  std::count(host.changePages.begin(), host.changePages.end(), b);
                         });
    EXPECT_EQ(s.topPages.front().changes,
              static_cast<std::uint64_t>(
                  std::count(host.changePages.begin(), host.changePages.end(), *most)));
  }
}

// A line made from converted pieces (the page's name once, each message's text once, a banner's
// marker alone) is the line made whole in UTF-8 and converted, in either encoding and language:
// also for names and markers that cp1251 lacks characters of, or that are not UTF-8.
TEST(LogLineMaker, LinesAreTheWholeLineConverted) {
  const std::string pages[] = {"/сайт/p.htm", "/文件/é.htm", "/a/\xE0\xFF.htm", "/a/&#1;%d.htm"};
  const std::string markers[] = {"<!-- метка -->", "<!--文-->", "\xFF\xFE", "%s"};
  for (const LogEncoding encoding : {LogEncoding::kCp1251, LogEncoding::kUtf8}) {
    for (const Language language : {Language::kRussian, Language::kEnglish}) {
      const LogLineMaker maker({encoding, language});
      for (const std::string& page : pages) {
        const std::string start = maker.PageStart(page);
        for (std::size_t m = 0; m < kMessageCount; ++m) {
          const LoggedChange change{page, ProcedureId::kBanner, static_cast<MessageId>(m),
                                    markers[m % 4], static_cast<Pos>(m * 1000 + 7)};
          std::string made;
          maker.AppendLine(made, start, change);
          std::string whole;
          AppendLogLineBytes(whole, ChangeLine(change, language), encoding);
          ASSERT_EQ(made, whole) << page << ", message " << m;
        }
      }
    }
  }
}

// A page's changes come back in order, with their ranks and every field (a banner's marker
// among them), whether they stayed in memory or went to disk past the cap; those converted as
// they came are handed over converted, each piece with exactly its lines.
TEST(PageLines, EveryChangeComesBackInOrder) {
  const struct {
    std::size_t changes;
    bool convert;
  } cases[] = {{0, false}, {3, true}, {400000, false}, {400000, true}};
  const std::string page = "/сайт/p.htm";
  const std::string markers[] = {"", "<!-- метка -->", "<!--x-->"};
  PageLines lines;
  const LogLineMaker maker;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.changes) + (c.convert ? " converted" : ""));
    lines.Clear();
    lines.MakeLogLines(c.convert ? &maker : nullptr);
    // A banner's changes name their marker; runs of the same marker come in between.
    const auto changeOf = [&](std::size_t i) {
      const bool banner = i % 5 < 2;
      return LoggedChange{page, static_cast<ProcedureId>(i % kProcedureCount),
                          banner ? MessageId::kBannerBlock : MessageId::kSpanStart,
                          banner ? std::string_view(markers[(i / 5) % 3]) : std::string_view(),
                          static_cast<Pos>(i * 3)};
    };
    for (std::size_t i = 0; i < c.changes; ++i) {
      lines.Add(changeOf(i));
    }
    EXPECT_EQ(lines.Count(), c.changes);
    EXPECT_LT(lines.MemoryBytes(), 3 * PageLines::kMemoryCap);
    std::size_t back = 0;
    std::string converted;
    ASSERT_FALSE(lines.ForEachPiece([&](const PageLines::Piece& piece) {
      EXPECT_EQ(piece.first, back);
      std::string expected;
      for (const LoggedChange& change : piece.changes) {
        const LoggedChange added = changeOf(back++);
        ASSERT_EQ(change.page, page);
        ASSERT_EQ(change.procedure, added.procedure);
        ASSERT_EQ(change.message, added.message);
        ASSERT_EQ(change.name, added.name);
        ASSERT_EQ(change.position, added.position);
        expected += Utf8ToCp1251(ChangeLine(change)) + "\r\n";
      }
      if (!piece.converted.empty()) {
        EXPECT_TRUE(piece.converted == expected);
        converted += piece.converted;
      }
    }));
    EXPECT_EQ(back, c.changes);
    EXPECT_EQ(converted.empty(), !c.convert || c.changes == 0);
  }
}

TEST_F(BatchRunTest, ExecuteFromInsideTheRunsPumpDoesNothing) {
  WriteBytes(site / "a.htm", "a");
  int nested = 0;
  host.onPump = [&] {
    if (nested++ == 0) {
      EXPECT_EQ(run.Execute().how, RunEnd::How::kNotStarted);
    }
  };
  Execute();
  EXPECT_EQ(host.clears, 1);
  EXPECT_EQ(host.ended, 1);
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// A page of 2 GiB and more is loaded and written whole. The source is sparse, so this costs
// memory and a large write, not disk reads; kept out of the sanitizer build for its time.
TEST_F(BatchRunTest, PagesOf2GiBAndMoreAreProcessed) {
  const std::uint64_t size = (std::uint64_t{1} << 31) + 3;
  // The copy takes real disk space (the source is sparse); a small disk cannot hold it.
  std::error_code ec;
  const auto space = fs::space(site, ec);
  if (ec || space.available < size + (std::uint64_t{1} << 30)) {
    GTEST_SKIP() << "needs 3 GiB of free disk space";
  }
  {
    WriteBytes(site / "huge.htm", "");
    ASSERT_EQ(::truncate((site / "huge.htm").c_str(), static_cast<off_t>(size - 3)), 0);
    std::FILE* f = std::fopen((site / "huge.htm").c_str(), "ab");
    ASSERT_NE(f, nullptr);
    std::fputs("end", f);
    std::fclose(f);
  }
  Execute();
  const fs::path copy = Output(site / "huge.htm");
  ASSERT_EQ(fs::file_size(copy), size);
  std::FILE* f = std::fopen(copy.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(::fseeko(f, static_cast<off_t>(size - 4), SEEK_SET), 0);
  char tail[4] = {};
  EXPECT_EQ(std::fread(tail, 1, 4, f), 4u);
  std::fclose(f);
  EXPECT_EQ(std::string(tail, 4), std::string("\0end", 4));
}
#endif

}  // namespace
}  // namespace varnow

namespace varnow {
namespace {

// A run that cleans only what changed, on one thread and on several: the pages up to date are
// logged and left, and a setting saved during the run counts from the next page taken, as in
// any run: every page after it is cleaned again with it, none before.
TEST_F(BatchRunTest, OnlyChangedPagesAndASettingSavedDuringTheRun) {
  constexpr int kPages = 12;
  for (int i = 0; i < kPages; ++i) {
    WriteBytes(site / ("p" + std::to_string(100 + i) + ".htm"), "<span>s</span><script>x</script>");
  }
  host.Enable(ProcedureId::kScript);
  Execute();
  for (const std::size_t jobs : {1, 3}) {
    SCOPED_TRACE("jobs " + std::to_string(jobs));
    host.switches = {};
    host.Enable(ProcedureId::kScript);
    run.SetJobs(jobs);
    run.SetScope(
        {.changedOnly = true, .dryRun = false, .listedPages = {}, .logFile = {}, .shard = {}});
    host.progress.clear();
    Execute();
    EXPECT_EQ(run.Summary().pagesUpToDate, std::size_t{kPages});
    EXPECT_EQ(host.changePages.size(), 0u);

    bool saved = false;
    host.onPump = [&] {
      if (!saved && !host.progress.empty() && host.progress.back().first == 4) {
        host.Enable(ProcedureId::kSpan);
        ++host.generation;
        saved = true;
      }
    };
    Execute();
    host.onPump = nullptr;
    ASSERT_TRUE(saved);
    const RunSummary& s = run.Summary();
    EXPECT_GE(s.pagesUpToDate, 4u);
    EXPECT_EQ(s.pagesUpToDate + s.pagesChanged, std::size_t{kPages});
    EXPECT_GT(s.pagesChanged, 0u);
    // In the log, every page up to date comes before every page cleaned again.
    bool cleanedSeen = false;
    for (const std::string& line : LogBody()) {
      const bool upToDate = line.ends_with(" не изменен");
      EXPECT_FALSE(cleanedSeen && upToDate) << line;
      cleanedSeen = cleanedSeen || (!upToDate && line.find("удален <span>") != std::string::npos);
    }
    // Back to the settings of the first run for the next round.
    host.switches = {};
    host.Enable(ProcedureId::kScript);
    ++host.generation;
    run.SetScope({});
    Execute();
  }
}

}  // namespace
}  // namespace varnow
