// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "cleaning/ProcedureTable.h"
#include "cli/CliHarness.h"
#include "support/RandomHtml.h"
#include "support/TempDir.h"
#include "support/TextMatch.h"
#include "text/Cp1251.h"

namespace varnow {
namespace {

using namespace cli_test;

// The README and the man page list the names --only takes, as the procedure table gives them,
// in its order.
TEST(CliDocuments, ListTheProceduresOfTheTable) {
  std::string names;
  for (const ProcedureRow& row : kProcedures) {
    names += (names.empty() ? "" : ",") + std::string(row.cliName);
  }
  const fs::path source = fs::path(VARNOW_SAMPLES).parent_path();
  EXPECT_NE(ReadBytes(source / "README.md").find("`" + names + "`"), std::string::npos)
      << "README.md does not list " << names;
  // The man page: one ".BR name ," line a name after --only's entry, the last ending in ";".
  const std::string man = ReadBytes(source / "data" / "varnow-cli.1");
  std::string listed;
  std::size_t at = man.find(".BR \\-\\-only");
  ASSERT_NE(at, std::string::npos);
  for (at = man.find("\n.BR ", at); at != std::string::npos; at = man.find("\n.BR ", at + 1)) {
    const std::size_t end = man.find('\n', at + 1);
    const std::string line = man.substr(at + 5, end - at - 5);
    const std::size_t space = line.find(' ');
    listed += (listed.empty() ? "" : ",") + line.substr(0, space);
    if (line.ends_with(";")) {
      break;
    }
  }
  EXPECT_EQ(listed, names) << "the man page's list of --only names";
}

TEST_F(CliTest, HelpVersionAndWrongCommandLines) {
  Outcome o = Cli({"--version"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "Varnow 0.9.9\n");
  // The help in the interface's language: the locale's, or the one --language names.
  o = Cli({"--help"});
  EXPECT_EQ(o.status, 0);
  EXPECT_TRUE(o.out.starts_with(
      "Использование: varnow-cli [--settings FILE] [--output DIR] [--only LIST] [--jobs N]\n"));
  EXPECT_NE(o.out.find("--log-encoding"), std::string::npos);
  o = Cli({"--help", "--language", "en"});
  EXPECT_TRUE(o.out.starts_with(
      "Usage: varnow-cli [--settings FILE] [--output DIR] [--only LIST] [--jobs N]\n"));
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"--bogus", "x"}, {"a", "b"}, {"--output"}, {"--log-encoding", "koi8-r", "a"}}) {
    o = Cli(args);
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("--help"), std::string::npos) << o.err;
    EXPECT_EQ(o.out, "");
  }
}

// log.txt's encoding: LogEncoding of the settings file, --log-encoding in its place; cp1251
// where neither names one.
TEST_F(CliTest, LogEncodingFromTheSettingsOrTheCommandLine) {
  WriteBytes(site / "caf\u00E9.htm", "<script></script>");
  const struct {
    std::string key;  // LogEncoding's line in the settings file, if any
    std::vector<std::string> option;
    std::string name;  // the page's name as log.txt holds it
  } cases[] = {
      {"", {}, "caf&#233;.htm"},
      {"LogEncoding=utf-8\r\n", {}, "caf\xC3\xA9.htm"},
      {"LogEncoding=utf-8\r\n", {"--log-encoding", "cp1251"}, "caf&#233;.htm"},
      {"", {"--log-encoding=utf-8"}, "caf\xC3\xA9.htm"},
  };
  for (const auto& c : cases) {
    std::string settings = Settings(out.string(), true);
    settings.insert(settings.find("[Main]\r\n") + 8, c.key);
    WriteBytes(ini, settings);
    std::vector<std::string> args = {"--settings", ini.string()};
    args.insert(args.end(), c.option.begin(), c.option.end());
    args.push_back(site.string());
    const Outcome o = Cli(args);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(ReadBytes(Output(out, site / "log.txt")).find("/" + c.name + " "), std::string::npos)
        << c.key;
  }
}

// --json prints each change, skipped page and the summary as one JSON object a line: jq reads
// every line, a name that is not UTF-8 round-trips through page_bytes, and the summary (the
// last object) counts what the objects before it say. --summary prints it as a table instead.
TEST_F(CliTest, JsonLinesAndTheSummary) {
  WriteBytes(site / "\xE0\xE1.htm", "<span>x</span><script>y</script>");  // cp1251 bytes
  WriteBytes(site / "caf\u00E9.htm", "<span>1</span><span>2</span>");
  const Outcome o = Cli({"--only", "span,script", "--output", out.string(), "--json",
                         "--summary=json", site.string()});
  ASSERT_EQ(o.status, 0) << o.err;
#ifdef VARNOW_JQ
  WriteBytes(dir / "lines.json", o.out);
  EXPECT_EQ(RunProgram(VARNOW_JQ, {"-c", ".", (dir / "lines.json").string()}).status, 0);
#endif
  std::map<std::string, int> changes;  // by procedure
  std::set<std::string> pageBytes;
  nlohmann::json summary;
  const std::vector<std::string> lines = Lines(o.out);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const nlohmann::json object = nlohmann::json::parse(lines[i]);
    const std::string type = object.at("type");
    if (type == "change") {
      ++changes[object.at("procedure")];
      EXPECT_TRUE(object.at("message").get<std::string>().starts_with("удален"));
      if (object.contains("page_bytes")) {
        pageBytes.insert(object.at("page_bytes"));
        EXPECT_EQ(object.at("page"), (site / "аб.htm").string());  // read as cp1251
      }
    } else if (type == "summary") {
      EXPECT_EQ(i, lines.size() - 1);
      summary = object;
    } else {
      EXPECT_EQ(type, "skipped") << lines[i];
    }
  }
  // The exact bytes of the name, as coreutils' base64 has them.
  WriteBytes(dir / "name", (site / "\xE0\xE1.htm").string());
  const Outcome name = RunProgram("/usr/bin/base64", {"-w0", (dir / "name").string()});
  EXPECT_EQ(pageBytes, std::set<std::string>{name.out});
  ASSERT_FALSE(summary.is_null());
  EXPECT_EQ(summary["procedures"]["span"]["changes"], changes["span"]);
  EXPECT_EQ(summary["procedures"]["script"]["changes"], changes["script"]);
  EXPECT_EQ(changes["span"], 6);
  EXPECT_EQ(summary["pages"]["found"], 4);  // a.htm and sub/b.html besides the two
  EXPECT_EQ(summary["procedures"]["span"]["pages"], 2);
  EXPECT_EQ(summary["procedures"]["span"]["bytes_removed"], 3 * 6 + 3 * 7);
  EXPECT_EQ(summary["top_pages"][0]["changes"], 4);

  const Outcome table =
      Cli({"--only", "span", "--output", out.string(), "--quiet", "--summary", site.string()});
  EXPECT_EQ(table.out, "");
  EXPECT_NE(table.err.find("Сводка\n"), std::string::npos) << table.err;
  EXPECT_NE(table.err.find("  span                    6         2"), std::string::npos)
      << table.err;
}

TEST_F(CliTest, CleansTheFolderPrintingEveryLogLine) {
  const Outcome o = Cli({"--settings", ini.string(), site.string()});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(ReadBytes(Output(out, site / "a.htm")), "a");
  EXPECT_EQ(ReadBytes(Output(out, site / "sub/b.html")), "b");
  // stdout: the log's own lines, an empty line, and where the log went.
  const std::vector<std::string> log = LogTxt(out);
  ASSERT_EQ(log.size(), 7u);
  std::vector<std::string> expected(log.begin() + 5, log.end());
  expected.push_back("");
  expected.push_back("Лог сохранен в " + Output(out, site / "log.txt").string());
  EXPECT_EQ(Lines(o.out), expected);
  // The final status is the last line on stderr.
  const std::string_view err = o.err;
  const std::size_t lastLine = err.rfind('\n', err.size() >= 2 ? err.size() - 2 : 0);
  const std::string_view status = err.substr(lastLine == std::string_view::npos ? 0 : lastLine + 1);
  EXPECT_TRUE(test::EndsWith(status, "\n") &&
              test::IsPrefixAndShortElapsed(status.substr(0, status.size() - 1),
                                            "Готово. Обработано 2 файлов. Время: "))
      << o.err;

  // --output takes the place of StorePatch; "--" lets a folder begin with "-".
  const fs::path other = dir / "other";
  const Outcome again =
      Cli({"--output=" + other.string(), "--settings=" + ini.string(), "--", site.string()});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(ReadBytes(Output(other, site / "a.htm")), "a");
}

TEST_F(CliTest, ErrorsExitWithOneAndTheMessage) {
  Outcome o = Cli({"--settings", (dir / "none.ini").string(), site.string()});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find((dir / "none.ini").string()), std::string::npos) << o.err;

  WriteBytes(dir / "bad.ini", "[Main]\r\nStorePatch=/x\r\nRmScript=yes\r\n");
  o = Cli({"--settings", (dir / "bad.ini").string(), site.string()});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(o.err.starts_with("Значение «yes» ключа RmScript в разделе [Main]")) << o.err;

  o = Cli({"--settings", ini.string(), (dir / "gone").string()});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "Папка не найдена: " + (dir / "gone").string() + "\n");

  fs::create_directories(Output(out, site / "a.htm"));  // a folder in the copy's place
  o = Cli({"--settings", ini.string(), site.string()});
  EXPECT_EQ(o.status, 1);
  // The terminal says it in the interface's words, log.txt in its own stored ones.
  EXPECT_TRUE(
      o.err.starts_with("Не удалось создать файл " + Output(out, site / "a.htm").string() + ": "))
      << o.err;
  EXPECT_TRUE(LogTxt(out).back().starts_with("Cannot create file \"" +
                                             Output(out, site / "a.htm").string() + "\". "));
}

// A settings file that cannot serve is refused at once, saying what is wrong with it.
TEST_F(CliTest, WhatIsWrongWithASettingsFileIsSaid) {
  const std::string main = Settings(out.string(), true);
  std::string withNul = main;
  withNul.replace(withNul.find("RmScript=-1"), 11, std::string("RmScript=-1\0x", 13));
  fs::create_directories(dir / "folder.ini");
  ASSERT_EQ(::mkfifo((dir / "fifo.ini").c_str(), 0600), 0);
  struct Case {
    std::string name;   // under dir, or an absolute path
    std::string bytes;  // written when not empty and not "-"
    std::string said;   // the message, before ": " and the path
  };
  const std::vector<Case> cases = {
      {"none.ini", "-", "Файл настроек не найден"},
      {"folder.ini", "-", "Файл настроек не является обычным файлом"},
      {"fifo.ini", "-", "Файл настроек не является обычным файлом"},
      {"/dev/zero", "-", "Файл настроек не является обычным файлом"},
      {"empty.ini", "", "В файле настроек нет раздела [Main]"},
      {"garbage.ini", "\x01\x02 garbage\nmore", "В файле настроек нет раздела [Main]"},
      {"bom.ini", "\xEF\xBB\xBF" + main,
       "Файл настроек начинается с метки UTF-8 (BOM), а должен быть в кодировке cp1251 без нее"},
      {"nokey.ini", "[Main]\r\nStorePatch=/x\r\n",
       "В разделе [Main] файла настроек нет ключа RmScript"},
      {"nul.ini", withNul, "Значение «-1\\0x» ключа RmScript в разделе [Main]"},
      {"huge.ini", main + std::string(1100000, ';'), "Файл настроек больше 1 МБ (1100"},
  };
  for (const Case& c : cases) {
    const fs::path file = c.name.starts_with("/") ? fs::path(c.name) : dir / c.name;
    if (c.bytes != "-") {
      WriteBytes(file, c.bytes);
    }
    const Outcome o = Cli({"--settings", file.string(), site.string()});
    EXPECT_EQ(o.status, 1) << c.name;
    EXPECT_TRUE(o.err.starts_with(c.said)) << o.err;
    EXPECT_NE(o.err.find(file.string()), std::string::npos) << o.err;
    EXPECT_FALSE(fs::exists(out)) << c.name;
  }
}

// A page larger than the file-size limit: the write fails as an ordinary error with its
// cause, no temporary file is left, and log.txt (small enough) is still saved.
TEST_F(CliTest, AFileSizeLimitIsAnOrdinaryError) {
  WriteBytes(site / "a.htm", std::string(200 * 1024, 'x'));
  const Outcome o = RunProgram("/bin/bash", {"-c", "ulimit -f 64; exec \"$0\" \"$@\"", VARNOW_CLI,
                                             "--settings", ini.string(), site.string()});
  EXPECT_EQ(o.status, 1) << o.err;
  const std::string output = Output(out, site / "a.htm").string();
  EXPECT_TRUE(
      o.err.starts_with("Не удалось записать файл " + output + ": ошибка системы (File too large)"))
      << o.err;
  EXPECT_TRUE(LogTxt(out).back().starts_with("Stream write error (")) << LogTxt(out).back();
  for (const auto& e : fs::recursive_directory_iterator(out)) {
    EXPECT_TRUE(e.is_directory() || e.path().filename() == "log.txt" ||
                e.path().filename() == ".varnow-manifest" || e.path().filename() == "b.html")
        << e.path();
  }
}

// A killed run leaves no temporary file: a file has no name until it is complete.
TEST_F(CliTest, AKilledRunLeavesNoTemporaryFile) {
  for (int i = 0; i < 3000; ++i) {
    WriteBytes(site / "many" / ("p" + std::to_string(i) + ".htm"), "<script></script>x");
  }
  bool killed = false;
  const Outcome o = RunProgram(VARNOW_CLI, {"--settings", ini.string(), site.string()},
                               [&](const std::string&, pid_t pid) {
                                 if (!killed) {
                                   ::kill(pid, SIGKILL);
                                   killed = true;
                                 }
                               });
  ASSERT_TRUE(killed);
  EXPECT_EQ(o.status, 128 + SIGKILL);
  for (const auto& e : fs::recursive_directory_iterator(out)) {
    const std::string name = e.path().filename().string();
    EXPECT_TRUE(e.is_directory() || name.ends_with(".htm") || name.ends_with(".html")) << e.path();
  }
}

// --only replaces the switches for one run; with --output no settings file is needed.
TEST_F(CliTest, OnlyRunsTheListedProcedures) {
  WriteBytes(site / "a.htm", "<script>1</script><span>a</span><font>b</font>");
  const fs::path none = dir / "none.ini";
  struct Case {
    std::string list;
    int status;
    std::string page;  // the copy of a.htm; for a wrong list, what the message must hold
  };
  const Case cases[] = {
      {"span", 0, "<script>1</script>a<font>b</font>"},
      {"font,script", 0, "<span>a</span>b"},
      {"all", 0, "ab"},
      {"none", 0, "<script>1</script><span>a</span><font>b</font>"},
      {"span,bogus", 2,
       "неизвестная процедура «bogus» в --only; имена: script,noscript,"
       "iframe,onmouseover,span,style,msword,table,body,banner,font,blank, либо "
       "all, либо none"},
      {"", 2, "неизвестная процедура «»"},
  };
  for (const Case& c : cases) {
    fs::remove_all(out);
    const Outcome o = Cli({"--only", c.list, "--output", out.string(), site.string()});
    EXPECT_EQ(o.status, c.status) << c.list << ": " << o.err;
    if (c.status == 0) {
      EXPECT_EQ(ReadBytes(Output(out, site / "a.htm")), c.page) << c.list;
    } else {
      EXPECT_NE(o.err.find(c.page), std::string::npos) << o.err;
    }
  }
  // A settings file named with --settings is read whatever else is given: one that cannot be
  // read is an error, never banner markers silently empty.
  const Outcome missing = Cli(
      {"--settings", none.string(), "--only", "banner", "--output", out.string(), site.string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("Файл настроек не найден: " + none.string()), std::string::npos)
      << missing.err;
  // With a settings file, --only replaces its switches (RmScript is on there).
  fs::remove_all(out);
  ASSERT_EQ(Cli({"--settings", ini.string(), "--only=font", site.string()}).status, 0);
  EXPECT_EQ(ReadBytes(Output(out, site / "a.htm")), "<script>1</script><span>a</span>b");
}

// Several pages at once give exactly what one thread gives: the same copies, the same lines on
// standard output, the same log.txt (but for the date, time and elapsed time of its header);
// also when a page ends the run with an error, and also quiet (when no line is kept to print).
TEST_F(CliTest, JobsGiveExactlyTheOneThreadResult) {
  std::mt19937_64 rng(14);
  for (int i = 0; i < 40; ++i) {
    WriteBytes(site / ("part" + std::to_string(i % 3)) / ("p" + std::to_string(i) + ".htm"),
               test::RandomHtml(rng, test::RandomDocumentSize(rng)));
  }
  std::string settings = "[Main]\r\nStorePatch=\r\n";
  for (const char* key :
       {"RmScript", "RmNoscript", "RmIframe", "RmonMouseOver", "RmSpan", "RmStyle", "RmMSWord",
        "RmTable", "RmBody", "RmBanner", "RmFont", "RmBlank"}) {
    settings += std::string(key) + "=-1\r\n";
  }
  int slot = 0;
  for (const test::MarkerPair& m : test::SampleMarkers()) {
    settings += "[Banner" + std::to_string(slot++) + "]\r\nFirst=" + m.first +
                "\r\nLast=" + m.last + "\r\n";
  }
  WriteBytes(ini, settings);
  for (const bool failing : {false, true}) {
    SCOPED_TRACE(failing ? "an error at a page" : "complete");
    std::vector<Outcome> runs;
    for (const char* jobs : {"1", "4"}) {
      const fs::path base = dir / (std::string("out") + jobs + (failing ? "e" : ""));
      if (failing) {
        fs::create_directories(Output(base, site / "part1" / "p7.htm"));  // a folder in the way
      }
      Outcome o = Cli(
          {"--settings", ini.string(), "--output", base.string(), "--jobs", jobs, site.string()});
      EXPECT_EQ(o.status, failing ? 1 : 0) << o.err;
      // The run's own output folder is named where log.txt went and in the error.
      for (std::string* text : {&o.out, &o.err}) {
        for (std::size_t at; (at = text->find(base.string())) != std::string::npos;) {
          text->replace(at, base.string().size(), "OUT");
        }
      }
      runs.push_back(o);
    }
    EXPECT_TRUE(runs[0].out == runs[1].out);
    EXPECT_GT(runs[0].out.size(), 1000u);
    EXPECT_EQ(runs[0].err.substr(0, runs[0].err.find('\n')),
              runs[1].err.substr(0, runs[1].err.find('\n')));
    const auto one = RunResult(dir / (std::string("out1") + (failing ? "e" : "")));
    for (const char* jobs : {"1", "4"}) {
      const fs::path base = dir / (std::string("quiet") + jobs + (failing ? "e" : ""));
      if (failing) {
        fs::create_directories(Output(base, site / "part1" / "p7.htm"));
      }
      Cli({"--settings", ini.string(), "--output", base.string(), "--jobs", jobs, "--quiet",
           site.string()});
      EXPECT_TRUE(RunResult(base) == one) << "quiet, --jobs " << jobs;
    }
    const auto four = RunResult(dir / (std::string("out4") + (failing ? "e" : "")));
    EXPECT_EQ(one.size(), four.size());
    for (const auto& [name, bytes] : one) {
      const auto other = four.find(name);
      if (other == four.end() || other->second == bytes) {
        EXPECT_TRUE(other != four.end()) << name << " is missing";
        continue;
      }
      const std::vector<std::string> a = Lines(bytes);
      const std::vector<std::string> b = Lines(other->second);
      std::size_t line = 0;
      while (line < a.size() && line < b.size() && a[line] == b[line]) {
        ++line;
      }
      ADD_FAILURE() << name << " differs at line " << line << ": "
                    << (line < a.size() ? a[line] : "(end)") << " | "
                    << (line < b.size() ? b[line] : "(end)");
    }
  }
}

TEST_F(CliTest, JobsOverTheSampleSiteGiveTheOneThreadResult) {
  for (const char* jobs : {"1", "4"}) {
    const Outcome o =
        Cli({"--settings", VARNOW_SAMPLES "/varnow.ini", "--output", (dir / jobs).string(),
             "--jobs", jobs, "--quiet", VARNOW_SAMPLES "/site"});
    ASSERT_EQ(o.status, 0) << o.err;
  }
  const auto one = RunResult(dir / "1");
  const auto isFile = [](const auto& entry) { return !entry.first.ends_with('/'); };
  EXPECT_EQ(std::count_if(one.begin(), one.end(), isFile), 4);  // three pages and log.txt
  EXPECT_TRUE(one == RunResult(dir / "4"));
}

// Small pages are cleaned faster than they are committed: the workers fill their window and
// wait for it to drain, and every page still comes, in order, as one thread makes it.
TEST_F(CliTest, SmallPagesFillTheWorkersWindowAndAllCome) {
  for (int i = 0; i < 400; ++i) {
    WriteBytes(site / ("d" + std::to_string(i % 4)) / ("p" + std::to_string(i) + ".htm"),
               "<p class=x>" + std::to_string(i) + "<span>s</span>");
  }
  const auto runFor = [&](const char* jobs) {
    const Outcome o = Cli({"--only", "span,style", "--output", (dir / jobs).string(), "--jobs",
                           jobs, "--quiet", site.string()});
    EXPECT_EQ(o.status, 0) << o.err;
    return RunResult(dir / jobs);
  };
  const auto one = runFor("1");
  const auto isFile = [](const auto& entry) { return !entry.first.ends_with('/'); };
  EXPECT_EQ(std::count_if(one.begin(), one.end(), isFile), 403);  // with the two of every site
  for (const char* jobs : {"2", "3", "16"}) {
    EXPECT_TRUE(runFor(jobs) == one) << "--jobs " << jobs;
  }
}

// An output on a file system without unnamed files or without hard links (FAT, many FUSE and
// network file systems), played by a preloaded shim: every copy and the whole log.txt are
// written, and no temporary name is left behind; a stopped run too.
TEST_F(CliTest, OutputsWithoutUnnamedFilesOrHardLinks) {
  for (int i = 0; i < 30; ++i) {
    WriteBytes(site / ("part" + std::to_string(i % 2)) / ("p" + std::to_string(i) + ".htm"),
               "<script>" + std::to_string(i) + "</script>x<script></script>");
  }
  const auto run = [&](const fs::path& base, const char* jobs, const char* missing) {
    std::vector<std::string> env = {"VARNOW_SHIM=" + std::string(missing)};
    if (*missing != '\0') {
      env.push_back("LD_PRELOAD=" VARNOW_FS_SHIM);
      // The shim comes before the sanitizer's runtime in the list of libraries.
      const char* asan = std::getenv("ASAN_OPTIONS");
      env.push_back(std::string("ASAN_OPTIONS=") + (asan ? asan : "") +
                    ":verify_asan_link_order=0");
    }
    return RunProgram(VARNOW_CLI,
                      {"--settings", ini.string(), "--output", base.string(), "--jobs", jobs,
                       "--quiet", site.string()},
                      nullptr, false, env);
  };
  ASSERT_EQ(run(dir / "plain", "1", "").status, 0);
  const auto expected = RunResult(dir / "plain");
  for (const char* missing : {"no-tmpfile", "no-links", "no-tmpfile,no-links"}) {
    for (const char* jobs : {"1", "4"}) {
      SCOPED_TRACE(std::string(missing) + ", --jobs " + jobs);
      const fs::path base = dir / (std::string(missing) + jobs);
      const Outcome o = run(base, jobs, missing);
      EXPECT_EQ(o.status, 0) << o.err;
      const auto result = RunResult(base);
      EXPECT_TRUE(result == expected);  // a stray temporary file would be one more entry
      EXPECT_EQ(result.size(), expected.size());
    }
  }
}

// With few files allowed open, a parallel run takes fewer pages at once, down to one thread's
// way, and gives one thread's result.
TEST_F(CliTest, FewOpenFilesAllowedGiveTheOneThreadResult) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers open files of their own, which a low limit takes from the run";
#endif
  for (int i = 0; i < 200; ++i) {
    WriteBytes(site / ("d" + std::to_string(i % 7)) / ("p" + std::to_string(i) + ".htm"),
               "<script>" + std::to_string(i) + "</script><span>x</span>");
  }
  ASSERT_EQ(Cli({"--settings", ini.string(), "--jobs", "1", "--output", (dir / "one").string(),
                 site.string()})
                .status,
            0);
  const auto expected = RunResult(dir / "one");
  for (const char* files : {"8", "12", "24"}) {
    for (const char* jobs : {"2", "8"}) {
      SCOPED_TRACE(std::string(files) + " files, --jobs " + jobs);
      const fs::path base = dir / (std::string("n") + files + "j" + jobs);
      const Outcome o =
          RunProgram("/usr/bin/prlimit",
                     {std::string("--nofile=") + files, VARNOW_CLI, "--settings", ini.string(),
                      "--jobs", jobs, "--quiet", "--output", base.string(), site.string()});
      EXPECT_EQ(o.status, 0) << o.err;
      auto result = RunResult(base);
      // The header names the output folder nowhere; the pages are the same.
      EXPECT_EQ(result.size(), expected.size());
      EXPECT_TRUE(result == expected);
    }
  }
}

// The disk filling up stops every run at the page where one thread stops, whatever the order
// the workers staged their copies in, and the log comes first: log.txt is saved, complete up to
// that page and ending with the error, and every --jobs writes the same pages and the same log,
// run after run. A small file system of its own, at three sizes (mounted where the tests may
// mount one).
TEST_F(CliTest, ADiskFillingUpStopsEveryRunAtTheSamePageWithItsLogSaved) {
  const fs::path disk = dir / "disk";
  fs::create_directories(disk);
  const auto mount = [&](const char* size) {
    return std::system(("mount -t tmpfs -o size=" + std::string(size) + " tmpfs " + disk.string() +
                        " 2>/dev/null")
                           .c_str()) == 0;
  };
  if (::geteuid() != 0 || !mount("64k")) {
    GTEST_SKIP() << "no small file system can be mounted here";
  }
  std::system(("umount " + disk.string()).c_str());
  // Pages whose log lines take about as much room as their copies.
  std::string spans;
  for (int i = 0; i < 120; ++i) {
    spans += "<span class=c" + std::to_string(i) + ">x</span>";
  }
  const std::string filler(9000, 'x');
  for (int i = 0; i < 60; ++i) {
    WriteBytes(site / ("d" + std::to_string(i % 3)) / ("p" + std::to_string(i) + ".htm"),
               "<script>" + std::to_string(i) + "</script>" + spans + filler);
  }
  for (const char* size : {"300k", "450k", "600k"}) {
    SCOPED_TRACE(std::string("a disk of ") + size);
    ASSERT_TRUE(mount(size));
    std::vector<std::map<std::string, std::string>> results;
    std::vector<std::string> errors;
    for (int round = 0; round < 3; ++round) {
      for (const char* jobs : {"1", "2", "8"}) {
        SCOPED_TRACE(std::string("--jobs ") + jobs + ", round " + std::to_string(round));
        fs::remove_all(disk / "o");
        // In one language, the terminal's error and log.txt's last line are the same text.
        const Outcome o =
            Cli({"--settings", ini.string(), "--jobs", jobs, "--quiet", "--output",
                 (disk / "o").string(), "--language", "en", "--log-language", "en", site.string()});
        EXPECT_EQ(o.status, 1);
        const std::string error = o.err.substr(0, o.err.find('\n'));
        errors.push_back(error);
        const fs::path log = disk / "o" / fs::relative(site, "/") / "log.txt";
        ASSERT_TRUE(fs::exists(log)) << o.err;
        std::vector<std::string> lines = Lines(ReadBytes(log), "\r\n");
        while (!lines.empty() && lines.back().empty()) {
          lines.pop_back();
        }
        ASSERT_FALSE(lines.empty());
        EXPECT_NE(o.err.find(test::Iconv("UTF-8", "CP1251", lines.back())), std::string::npos)
            << "log.txt does not end with the error: " << lines.back();
        auto result = RunResult(disk / "o");
        std::size_t copies = 0;
        for (const auto& [name, bytes] : result) {
          copies += name.ends_with(".htm");
        }
        EXPECT_GT(copies, 1u);
        EXPECT_LT(copies, 60u);
        results.push_back(std::move(result));
      }
    }
    std::system(("umount " + disk.string()).c_str());
    for (std::size_t i = 1; i < results.size(); ++i) {
      EXPECT_EQ(results[i].size(), results[0].size()) << i;
      EXPECT_TRUE(results[i] == results[0]) << i;
      EXPECT_EQ(errors[i], errors[0]) << i;
    }
  }
}

// Pages of a million nested spans each (13 MB, two million log lines): a parallel run holds
// what one thread holds and no more than its bounds allow (64 MB and a page a job), and its
// copies and log are one thread's.
TEST_F(CliTest, AParallelRunsMemoryStaysWithinItsBounds) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "memory is measured without the sanitizers";
#else
  const std::string page = [] {
    std::string nested;
    for (int i = 0; i < 1000000; ++i) {
      nested += "<span>";
    }
    nested += "x";
    for (int i = 0; i < 1000000; ++i) {
      nested += "</span>";
    }
    return nested;
  }();
  for (const char* name : {"a.htm", "b.htm", "c.htm", "d.htm"}) {
    WriteBytes(site / "nested" / name, page);
  }
  fs::remove(site / "a.htm");
  fs::remove_all(site / "sub");
  std::vector<Outcome> runs;
  for (const char* jobs : {"1", "4"}) {
    runs.push_back(Cli({"--only", "span", "--jobs", jobs, "--quiet", "--output",
                        (dir / jobs).string(), site.string()}));
    EXPECT_EQ(runs.back().status, 0) << runs.back().err;
  }
  const long pageKb = static_cast<long>(page.size() / 1024);
  EXPECT_LT(runs[0].peakKb, 64 * 1024 + pageKb) << "one thread";
  EXPECT_LT(runs[1].peakKb, runs[0].peakKb + 64 * 1024 + 4 * pageKb) << "four threads";
  EXPECT_TRUE(RunResult(dir / "1") == RunResult(dir / "4"));
#endif
}

// A temporary file that a run killed at the wrong moment left (beside a copy, or a log body in
// log.txt's folder where no copy goes; named as this version names them or as earlier ones
// did) is removed by the next run, which says so in its log.
TEST_F(CliTest, AStrayTemporaryFileIsRemovedByTheNextRun) {
  const fs::path deep = dir / "deep";  // its pages all in a subfolder: none beside log.txt
  WriteBytes(deep / "sub" / "a.htm", "<script></script>a");
  const struct {
    fs::path folder;
    fs::path stray;
  } cases[] = {
      {site, Output(out, site / ".vn00c0ffee.tmp")},
      {site, Output(out, site / ".vn00c0ffee.t")},
      {deep, Output(out, deep / ".vn0000beef.t")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stray.string());
    ASSERT_EQ(Cli({"--settings", ini.string(), c.folder.string()}).status, 0);
    WriteBytes(c.stray, "half a copy");
    const timespec old[2] = {{std::time(nullptr) - 60, 0}, {std::time(nullptr) - 60, 0}};
    ::utimensat(AT_FDCWD, c.stray.c_str(), old, 0);
    const Outcome o = Cli({"--settings", ini.string(), c.folder.string()});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_FALSE(fs::exists(c.stray));
    const std::vector<std::string> log =
        Lines(Cp1251ToUtf8(ReadBytes(Output(out, c.folder / "log.txt"))), "\r\n");
    EXPECT_NE(std::find(log.begin(), log.end(),
                        c.stray.string() + " удален: остался от прерванного запуска"),
              log.end());
  }
}

// A page larger than the memory a run may use (a sparse file of 100 GiB) is refused before it
// is loaded, named in the log with its size and the limit, at every --jobs, and the run goes
// on; --max-page-size and MaxPageSize of the settings file set the limit in its place.
TEST_F(CliTest, APageTooLargeForMemoryIsRefusedAlone) {
  const fs::path big = site / "big.htm";
  WriteBytes(big, "");
  fs::resize_file(big, std::uintmax_t{100} << 30);
  WriteBytes(site / "small.htm", std::string(20, 'x'));
  const std::string biggest = Output(out, big).string();
  const struct {
    std::vector<std::string> args;
    std::string settingsLine;  // added to section Main
    std::vector<std::string> refused;
  } cases[] = {
      {{"-j1"}, "", {"big.htm"}},
      {{"-j2"}, "", {"big.htm"}},
      {{"-j8"}, "", {"big.htm"}},
      // a.htm has 19 bytes, small.htm 20.
      {{"--max-page-size", "19"}, "", {"big.htm", "small.htm"}},
      {{"-j4"}, "MaxPageSize=19\r\n", {"big.htm", "small.htm"}},
      {{"--max-page-size=1M"}, "MaxPageSize=19\r\n", {"big.htm"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front() + " " + c.settingsLine);
    fs::remove_all(out);
    WriteBytes(ini, Settings(out.string(), true) + c.settingsLine);
    std::vector<std::string> args = {"--settings", ini.string()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.push_back(site.string());
    const Outcome o = Cli(args);
    EXPECT_EQ(o.status, c.refused.empty() ? 0 : 1) << o.err;
    EXPECT_TRUE(fs::exists(Output(out, site / "a.htm")));
    const std::vector<std::string> log = LogTxt(out);
    for (const char* name : {"big.htm", "small.htm"}) {
      const bool refused = std::find(c.refused.begin(), c.refused.end(), name) != c.refused.end();
      const std::string said = (site / name).string() + " не обработан: страница в ";
      EXPECT_EQ(std::count_if(log.begin(), log.end(),
                              [&](const std::string& line) { return line.starts_with(said); }),
                refused ? 1 : 0)
          << name;
      if (std::string(name) == "small.htm") {
        EXPECT_EQ(fs::exists(Output(out, site / name)), !refused);
      }
    }
    if (c.args.front() == "--max-page-size") {
      EXPECT_NE(o.out.find("big.htm не обработан: страница в 107 374 182 400 байт больше "
                           "предела в 19 байт"),
                std::string::npos)
          << o.out;
    }
  }
  EXPECT_FALSE(fs::exists(biggest));
}

// With little memory (ulimit -v) a parallel run gives the memory of pages cleaned ahead back
// and goes on with fewer, down to one: it completes wherever one thread completes, with the
// same result. (The sanitizers reserve more address space than any such limit.)
TEST_F(CliTest, LittleMemoryGivesEveryJobsTheOneThreadResult) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "a limit on address space does not mix with the sanitizers";
#else
  for (int i = 0; i < 24; ++i) {
    std::string page;
    for (int k = 0; k < 20000 + 1500 * i; ++k) {
      page += "<span class=a>" + std::to_string(k) + "</span><script>x</script>";
    }
    WriteBytes(site / ("p" + std::to_string(i) + ".htm"), page);
  }
  std::vector<std::map<std::string, std::string>> results;
  for (const char* jobs : {"1", "2", "8"}) {
    SCOPED_TRACE(jobs);
    const fs::path base = dir / (std::string("out") + jobs);
    const Outcome o = RunProgram(
        "/bin/bash", {"-c", "ulimit -v 100000; exec \"$0\" \"$@\"", VARNOW_CLI, "-q", "--only",
                      "script,span", "--output", base.string(), "-j", jobs, site.string()});
    EXPECT_EQ(o.status, 0) << o.err;
    results.push_back(RunResult(base));
  }
  EXPECT_TRUE(results[0] == results[1]);
  EXPECT_TRUE(results[0] == results[2]);
#endif
}

// Letters take attached values and may be bundled; a long option is never abbreviated; an
// option given twice takes the value given last, as --help says.
TEST_F(CliTest, ShortOptionsRepeatedOptionsAndNoAbbreviations) {
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;  // what standard error begins with, where the line is wrong
    bool quiet;
  } cases[] = {
      {{"-j3"}, 0, "", false},
      {{"-qj3"}, 0, "", true},
      {{"-qj", "3"}, 0, "", true},
      {{"-j", "3", "--jobs=2", "--jobs", "1"}, 0, "", false},
      {{"--output", "/nonexistent-root-folder/x", "--output", "OUT"}, 0, "", false},
      {{"--out", "OUT"}, 2, "varnow-cli: unknown option --out", false},
      {{"--jobs=0"}, 2, "varnow-cli: --jobs takes a number", false},
      {{"-qx"}, 2, "varnow-cli: unknown option -x", false},
      {{"--quiet=yes"}, 2, "varnow-cli: option --quiet takes no value", false},
      {{"-j"}, 2, "varnow-cli: option -j needs a value", false},
      {{"--max-page-size", "lots"}, 2, "varnow-cli: --max-page-size takes a size", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front());
    fs::remove_all(out);
    std::vector<std::string> args = {"--settings", ini.string(), "--language", "en"};
    for (const std::string& arg : c.args) {
      args.push_back(arg == "OUT" ? out.string() : arg);
    }
    if (c.args.size() > 1 || c.args.front() != "-j") {  // "-j" alone: its value missing
      args.push_back(site.string());
    }
    const Outcome o = Cli(args);
    EXPECT_EQ(o.status, c.status) << o.err;
    EXPECT_TRUE(o.err.starts_with(c.err)) << o.err;
    if (c.status == 0) {
      EXPECT_EQ(o.out.empty(), c.quiet) << o.out;
      EXPECT_TRUE(fs::exists(Output(out, site / "a.htm")));
    }
  }
  const Outcome help = Cli({"--help", "--language=en"});
  EXPECT_NE(help.out.find("an option\ngiven twice takes the value given last"), std::string::npos)
      << help.out;
}

// An output folder that leads through a link to nothing is said as such, not as "File
// exists"; a log.txt that cannot be saved is said once.
TEST_F(CliTest, OutputErrorsAreSaidOnceWithTheirOwnCause) {
  fs::create_symlink(dir / "gone", dir / "linked-out");
  Outcome o =
      Cli({"--settings", ini.string(), "--output", (dir / "linked-out").string(), site.string()});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("dangling link: " + (dir / "linked-out").string() + " -> " +
                       (dir / "gone").string()),
            std::string::npos)
      << o.err;
  EXPECT_EQ(o.err.find("File exists"), std::string::npos) << o.err;

  // Enough log lines that log.txt passes the file-size limit the pages stay under.
  std::string spans;
  for (int i = 0; i < 8000; ++i) {
    spans += "<span>x</span>";
  }
  WriteBytes(site / "a.htm", spans);
  o = RunProgram("/bin/bash", {"-c", "ulimit -f 200; exec \"$0\" \"$@\"", VARNOW_CLI, "-q",
                               "--only", "span", "--output", out.string(), site.string()});
  EXPECT_EQ(o.status, 1) << o.err;
  const std::string said = "Не удалось записать файл " + Output(out, site / "log.txt").string();
  std::size_t times = 0;
  for (std::size_t at = o.err.find(said); at != std::string::npos; at = o.err.find(said, at + 1)) {
    ++times;
  }
  EXPECT_EQ(times, 1u) << o.err;
}

// Every file below `root`, with its bytes: a tree to compare before and after.
std::map<std::string, std::string> FilesBelow(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (e.is_regular_file() && !e.is_symlink()) {
      files[e.path().string()] = ReadBytes(e.path());
    }
  }
  return files;
}

// A page whose copy would land in the searched tree through a link in the output tree, or on
// another page's copy of the run, is refused alone: named in the log, counted, the run goes
// on, and the exit status is 1. Nothing in the searched tree changes.
TEST_F(CliTest, PagesRefusedOneByOne) {
  const struct {
    const char* what;
    fs::path linkTo;  // where the output's d1 leads: into the sources, or to the output's d0
    std::string reason;
  } cases[] = {
      {"a link into the sources", site / "other",
       "The output folder leads through the link \"/out/site/d1\" into the searched folder"},
      {"a link to another copy's folder", Output(out, site / "d0"),
       "The output file exists as another page's copy"},
  };
  WriteBytes(site / "d0" / "a.htm", "<script>0</script>d0");
  WriteBytes(site / "d1" / "a.htm", "<script>1</script>d1");
  WriteBytes(site / "other" / "x.htm", "<script>x</script>x");
  WriteBytes(site / "z.htm", "<script>z</script>z");
  fs::remove(site / "a.htm");
  fs::remove_all(site / "sub");
  for (const auto& c : cases) {
    for (const char* jobs : {"1", "4"}) {
      SCOPED_TRACE(std::string(c.what) + ", --jobs " + jobs);
      fs::remove_all(out);
      fs::create_directories(Output(out, site / "d0"));
      fs::create_directory_symlink(c.linkTo, Output(out, site / "d1"));
      const auto sources = FilesBelow(site);
      const Outcome o = Cli({"--settings", ini.string(), "--jobs", jobs, "--quiet", site.string()});
      EXPECT_EQ(o.status, 1) << o.err;
      EXPECT_NE(o.err.find("Пропущено: 1"), std::string::npos) << o.err;
      EXPECT_TRUE(FilesBelow(site) == sources);
      EXPECT_EQ(ReadBytes(Output(out, site / "d0" / "a.htm")), "d0");
      EXPECT_EQ(ReadBytes(Output(out, site / "z.htm")), "z");
      std::string log = Cp1251ToUtf8(ReadBytes(Output(out, site / "log.txt")));
      for (std::size_t at; (at = log.find(dir.Path().string())) != std::string::npos;) {
        log.replace(at, dir.Path().string().size(), "");
      }
      EXPECT_NE(log.find("Cannot create file \"/out/site/d1/a.htm\". " + c.reason),
                std::string::npos)
          << log;
      EXPECT_EQ(log.find("d1/a.htm удален"), std::string::npos);  // no lines for a page refused
    }
  }
}

// --explain prints each change of one page with its place in the page as it is, and writes
// nothing; it takes the place of FOLDER.
TEST_F(CliTest, ExplainPrintsEachChangeWhereItIsInThePage) {
  WriteBytes(site / "a.htm",
             "<html x>\r\n<P class=c>one <span>two</span>\r\n<script>\r\n1\r\n</script>!");
  const Outcome o =
      Cli({"--only", "span,style,script,body", "--explain", (site / "a.htm").string()});
  EXPECT_EQ(o.status, 0) << o.err;
  const std::string page = (site / "a.htm").string();
  EXPECT_EQ(o.out, "Кодировка: UTF-8 (байты страницы — правильный UTF-8)\n" + page +
                       " заменен <p...> [11]\n"
                       "    2:1  -<P class=c>\n"
                       "    2:12  +<p>\n" +
                       page +
                       " удален <span> [18]\n"
                       "    2:16  -<span>\n" +
                       page +
                       " удален </span> [21]\n"
                       "    2:25  -</span>\n" +
                       page +
                       " удален <html...> [1]\n"
                       "    1:1  -<html x>\n"
                       "    1:9  +<html>\n" +
                       page +
                       " удален <script> [21]\n"
                       "    3:1  -<script>\u21B51\u21B5</script>\n");
  EXPECT_FALSE(fs::exists(out));

  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
  } wrong[] = {
      {{"--only", "all", "--explain", page, site.string()},
       2,
       "--explain FILE указывается вместо FOLDER"},
      {{"--only", "all", "--explain", (site / "none.htm").string()}, 1, "Не удалось открыть файл"},
      {{"--language", "en", "--only", "all", "--explain", (site / "none.htm").string()},
       1,
       "Could not open file"},
  };
  for (const auto& w : wrong) {
    const Outcome bad = Cli(w.args);
    EXPECT_EQ(bad.status, w.status);
    EXPECT_NE(bad.err.find(w.err), std::string::npos) << bad.err;
  }
}

// --explain reads each page in its own encoding: what it removed and the columns, counted in
// characters, are as an editor showing the page's text has them.
TEST_F(CliTest, ExplainShowsEachPageInItsOwnEncoding) {
  const struct {
    std::string bytes;
    std::string out;  // after the page's name
  } pages[] = {
      {"<meta charset=utf-8>\n\xD0\x9F\xD1\x80\xD0\xB8 <span class=\"\xD0\xAF\">\xD0\xAF",
       "Кодировка: UTF-8 (объявлена в странице)\n"
       "@ удален <span> [29]\n    2:5  -<span class=\"Я\">\n"},
      {"\xCF\xF0\xE8 <span class=\"\xDF\">",
       "Кодировка: windows-1251 (по умолчанию)\n"
       "@ удален <span> [5]\n    1:5  -<span class=\"Я\">\n"},
      {"<meta http-equiv=content-type content='text/html; charset=iso-8859-1'>\r\n"
       "caf\xE9 \x80<span title=\"\xE9\">",
       "Кодировка: windows-1252 (объявлена в странице)\n"
       "@ удален <span> [79]\n    2:7  -<span title=\"é\">\n"},
      {"\xEF\xBB\xBF\xD0\xAF<span>",
       "Кодировка: UTF-8 (по метке порядка байтов)\n"
       "@ удален <span> [6]\n    1:2  -<span>\n"},
      // UTF-16 holds no ASCII pattern to find: read, and nothing removed.
      {std::string("\xFF\xFE<\0s\0p\0a\0n\0>\0", 14),
       "Кодировка: UTF-16LE (по метке порядка байтов)\n"},
  };
  for (const auto& p : pages) {
    WriteBytes(site / "p.htm", p.bytes);
    const std::string page = (site / "p.htm").string();
    const Outcome o = Cli({"--only", "span", "--explain", page});
    EXPECT_EQ(o.status, 0) << o.err;
    std::string expected = p.out;
    for (std::size_t at = expected.find('@'); at != std::string::npos; at = expected.find('@')) {
      expected.replace(at, 1, page);
    }
    EXPECT_EQ(o.out, expected);
  }
}

// On the sample page, --explain reports exactly the lines a run logs for it, each followed by
// the page's own text at the place it names.
TEST_F(CliTest, ExplainOnTheSamplePageGivesTheRunsLines) {
  const std::string page = VARNOW_SAMPLES "/site/index.html";
  const Outcome run = Cli({"--settings", VARNOW_SAMPLES "/varnow.ini", "--output", out.string(),
                           "--jobs", "1", VARNOW_SAMPLES "/site"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Outcome o = Cli({"--settings", VARNOW_SAMPLES "/varnow.ini", "--explain", page});
  ASSERT_EQ(o.status, 0) << o.err;
  std::vector<std::string> explained;
  const std::vector<std::string> pageLines = Lines(ReadBytes(page));
  for (const std::string& line : Lines(o.out)) {
    if (line.starts_with("Кодировка: ")) {
      continue;  // how the page is read, before its changes
    }
    if (!line.starts_with("    ")) {
      explained.push_back(line);
      continue;
    }
    // "    L:C  -text": the text removed begins at line L, column C of the page.
    const std::size_t colon = line.find(':'), gap = line.find("  ", 4);
    const std::size_t row = std::stoul(line.substr(4, colon - 4)) - 1;
    const std::size_t column = std::stoul(line.substr(colon + 1, gap - colon - 1)) - 1;
    ASSERT_LT(row, pageLines.size()) << line;
    if (line[gap + 2] == '-') {
      const std::string start = line.substr(gap + 3, 6);
      EXPECT_EQ(pageLines[row].substr(column, start.size()), start) << line;
    }
  }
  std::vector<std::string> logged;
  for (const std::string& line : Lines(run.out)) {
    if (line.starts_with(page + " ")) {
      logged.push_back(line);
    }
  }
  EXPECT_GT(logged.size(), 5u);
  EXPECT_EQ(explained, logged);
}

TEST_F(CliTest, DefaultSettingsAreTheFileBesideTheProgram) {
  const fs::path bin = dir / "bin";
  fs::create_directories(bin);
  fs::copy_file(VARNOW_CLI, bin / "varnow-cli");
  // First start: no file, every switch off, and the output folder must be given.
  Outcome o = RunProgram(bin / "varnow-cli", {site.string()});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("--output"), std::string::npos) << o.err;
  o = RunProgram(bin / "varnow-cli", {"--output", out.string(), site.string()});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(ReadBytes(Output(out, site / "a.htm")), "<script>1</script>a");

  const fs::path other = dir / "other";
  WriteBytes(bin / "varnow.ini", Settings(other.string(), true));
  o = RunProgram(bin / "varnow-cli", {site.string()});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(ReadBytes(Output(other, site / "a.htm")), "a");
}

// A default settings file that cannot even be looked for is said to be unreadable, not taken
// for a first start; with --only and --output it is not needed.
TEST_F(CliTest, AnUnreachableDefaultSettingsFileIsSaid) {
  const fs::path bin = dir / "bin";
  fs::create_directories(bin);
  fs::copy_file(VARNOW_CLI, bin / "varnow-cli");
  fs::create_symlink(dir / "loop", dir / "loop");
  const std::vector<std::string> env = {"XDG_CONFIG_HOME=" + (dir / "loop").string()};
  Outcome o = RunProgram(bin / "varnow-cli", {"--output", out.string(), site.string()}, nullptr,
                         false, env);
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(
      o.err.find("Файл настроек не открывается: " + (dir / "loop/varnow/varnow.ini").string() +
                 ": ссылки на пути замкнуты в круг"),
      std::string::npos)
      << o.err;
  o = RunProgram(bin / "varnow-cli", {"--only", "script", "--output", out.string(), site.string()},
                 nullptr, false, env);
  EXPECT_EQ(o.status, 0) << o.err;
}

// A page too large for the memory the program may have ends --explain with a message and
// status 1, never an abort. (The sanitizers reserve more address space than any such limit.)
TEST_F(CliTest, ExplainingAPageTooLargeForMemoryIsAnError) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "a limit on address space does not mix with the sanitizers";
#else
  std::string spans;
  for (int i = 0; i < 700000; ++i) {
    spans += "<span>x</span>";
  }
  WriteBytes(site / "big.htm", spans);
  const Outcome o = RunProgram(
      "/usr/bin/prlimit",
      {"--as=200000000", VARNOW_CLI, "--only", "span", "--explain", (site / "big.htm").string()},
      nullptr, false, {"LC_MESSAGES=C"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "varnow-cli: not enough memory\n");
#endif
}

// Ctrl-C, and the other signals that end a program in a terminal's or a script's hands, stop
// the run as Stop does; log.txt is saved.
TEST_F(CliTest, CtrlCStopsTheRunAndTheLogIsStillSaved) {
  constexpr int kFiles = 5000;  // output is flushed every 100 ms: the run must outlast that
  for (int i = 0; i < kFiles; ++i) {
    WriteBytes(site / "many" / ("p" + std::to_string(i) + ".htm"), "<script></script>x");
  }
  for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGALRM}) {
    SCOPED_TRACE(sig);
    fs::remove_all(out);
    bool sent = false;
    const Outcome o = RunProgram(VARNOW_CLI, {"--settings", ini.string(), site.string()},
                                 [&](const std::string& soFar, pid_t pid) {
                                   if (!sent && soFar.find('\n') != std::string::npos) {
                                     ::kill(pid, sig);
                                     sent = true;
                                   }
                                 });
    ASSERT_TRUE(sent);
    EXPECT_EQ(o.status, 128 + sig) << o.err;
    const std::vector<std::string> log = LogTxt(out);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "Прервано пользователем");
    EXPECT_EQ(log[2], "Файлов обработано " + std::to_string(kFiles + 2));
    EXPECT_NE(o.out.find("Прервано пользователем\n\nЛог сохранен в "), std::string::npos);
    EXPECT_LT(log.size(), static_cast<std::size_t>(kFiles));
  }
}

// Standard output goes through a buffer: a reader of the pipe still gets every line, in order,
// by the end of the run; --quiet prints none, and log.txt is the same either way; a reader
// that goes away does not stop the run.
TEST_F(CliTest, LogLinesReachAPipeInFullOrNotAtAll) {
  std::string spans;
  std::string text;
  for (int i = 0; i < 20000; ++i) {
    spans += "<span>" + std::to_string(i) + "</span>";
    text += std::to_string(i);
  }
  for (const char* name : {"a.htm", "b.htm", "c.htm"}) {
    WriteBytes(site / "раздел" / name, spans);
  }
  WriteBytes(ini, Settings(out.string(), true, "RmSpan"));
  const auto body = [&] {
    std::vector<std::string> log = LogTxt(out);
    return std::vector<std::string>(log.begin() + 5, log.end());
  };

  const Outcome loud = Cli({"--settings", ini.string(), site.string()});
  ASSERT_EQ(loud.status, 0) << loud.err;
  const std::vector<std::string> lines = body();
  ASSERT_EQ(lines.size(), 120000u);
  std::vector<std::string> expected = lines;
  expected.push_back("");
  expected.push_back("Лог сохранен в " + Output(out, site / "log.txt").string());
  EXPECT_TRUE(Lines(loud.out) == expected);

  for (const bool closed : {false, true}) {
    SCOPED_TRACE(closed ? "stdout closed" : "--quiet");
    fs::remove_all(out);
    const Outcome o =
        closed ? RunProgram(VARNOW_CLI, {"--settings", ini.string(), site.string()}, nullptr, true)
               : Cli({"--quiet", "--settings", ini.string(), site.string()});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "");
    EXPECT_TRUE(body() == lines);
    EXPECT_TRUE(ReadBytes(Output(out, site / "раздел/c.htm")) == text);
    const std::size_t said = o.err.find("стандартный вывод не работает");
    EXPECT_EQ(said != std::string::npos, closed) << o.err;
    EXPECT_EQ(o.err.find("стандартный вывод не работает", said + 1), std::string::npos);
  }
}

}  // namespace
}  // namespace varnow

namespace varnow {
namespace {

using namespace cli_test;

// The program's own texts follow --language, else Language of the settings file, else the
// locale; log.txt and the lines the terminal shows of it stay Russian unless LogLanguage or
// --log-language say English.
TEST_F(CliTest, TheInterfaceSpeaksTheLocalesLanguageAndTheLogKeepsItsOwn) {
  WriteBytes(site / "a.htm", "<span>x</span>");
  const struct {
    std::string locale;  // LC_MESSAGES
    std::vector<std::string> options;
    std::string keys;    // more lines for section "Main"
    std::string status;  // what standard error begins with
    std::string header;  // log.txt's first line begins with
    std::string change;  // its change line ends with
  } cases[] = {
      {"en_US.UTF-8",
       {},
       "",
       "Done. Files processed: ",
       "Файл сгенерирован программой",
       " удален <span> [1]"},
      {"C", {}, "", "Done. Files processed: ", "Файл сгенерирован", " удален <span> [1]"},
      {"ru_RU.UTF-8", {}, "", "Готово. Обработано ", "Файл сгенерирован", " удален <span> [1]"},
      {"C",
       {"--log-language", "en"},
       "",
       "Done.",
       "File generated by Varnow",
       " removed <span> [1]"},
      {"C",
       {},
       "LogLanguage=en\r\nLanguage=ru\r\n",
       "Готово.",
       "File generated by Varnow",
       " removed <span> [1]"},
      {"ru_RU.UTF-8",
       {"--language", "en", "--log-language=ru"},
       "LogLanguage=en\r\n",
       "Done.",
       "Файл сгенерирован",
       " удален <span> [1]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.locale + " " + c.keys);
    fs::remove_all(out);
    WriteBytes(ini, Settings(out.string(), true, "RmSpan") + c.keys);
    std::vector<std::string> args = {"--settings", ini.string()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(site.string());
    const Outcome o = RunProgram(VARNOW_CLI, args, nullptr, false, {"LC_MESSAGES=" + c.locale});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(o.err.starts_with(c.status)) << o.err;
    const std::vector<std::string> log = LogTxt(out);
    ASSERT_FALSE(log.empty());
    EXPECT_TRUE(log[0].starts_with(c.header)) << log[0];
    EXPECT_TRUE(std::any_of(log.begin(), log.end(),
                            [&c](const std::string& line) { return line.ends_with(c.change); }));
    // The terminal shows the log's lines as log.txt holds them.
    EXPECT_NE(o.out.find(c.change + "\n"), std::string::npos) << o.out;
  }
  // An error in the interface's words, also for a folder that is not there.
  const Outcome gone = RunProgram(VARNOW_CLI, {"--settings", ini.string(), (dir / "gone").string()},
                                  nullptr, false, {"LC_MESSAGES=C"});
  EXPECT_EQ(gone.err, "Folder not found: " + (dir / "gone").string() + "\n");
  const Outcome wrong = Cli({"--language", "de", site.string()});
  EXPECT_EQ(wrong.status, 2);
  EXPECT_NE(wrong.err.find("--language принимает ru или en, а не «de»"), std::string::npos)
      << wrong.err;
}

}  // namespace
}  // namespace varnow
