// SPDX-License-Identifier: MIT
// Runs past the first: --changed against the manifest the run before left, --dry-run, page
// lists from other tools (--files-from), log.txt named with --log, shards.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cli/CliHarness.h"
#include "support/TextMatch.h"

namespace varnow {
namespace {

using namespace cli_test;

class RerunTest : public CliTest {
 protected:
  RerunTest() {
    WriteBytes(site / "c.htm", "<script>3</script>c");
    WriteBytes(ini,
               Settings(out.string(), true) + "[Banner0]\r\nFirst=<!--b-->\r\nLast=<!--/b-->\r\n");
  }
  fs::path Copy(const std::string& page) const { return Output(out, site / page); }
  fs::path Manifest() const { return Output(out, site / ".varnow-manifest"); }
  Outcome Run(std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"--settings", ini.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(site.string());
    return Cli(args);
  }
  // The pages a run's standard output says it cleaned again and found up to date, by their
  // names below the site.
  struct Said {
    std::set<std::string> cleaned;
    std::set<std::string> upToDate;
  };
  Said WhatWasSaid(const Outcome& o) const {
    Said said;
    const std::string prefix = site.string() + "/";
    for (const std::string& line : Lines(o.out)) {
      if (!test::StartsWith(line, prefix)) {
        continue;
      }
      const std::string rest = line.substr(prefix.size());
      const std::string page = rest.substr(0, rest.find(' '));
      if (rest == page + " не изменен") {
        said.upToDate.insert(page);
      } else {
        said.cleaned.insert(page);
      }
    }
    return said;
  }
};

// A --changed run cleans a page again exactly when its source, the settings that clean it or
// its copy differ from what the run before left; every other page is logged as unchanged and
// nothing of it is written. After each case the copies are what a full run writes.
TEST_F(RerunTest, ChangedCleansWhatChangedAndNothingElse) {
  ASSERT_EQ(Run().status, 0);
  const auto sameMtime = [](const fs::path& page) {
    // New bytes of the same size under the old mtime: only the ctime tells.
    const fs::file_time_type when = fs::last_write_time(page);
    std::string bytes = ReadBytes(page);
    bytes[bytes.size() - 1] = 'X';
    WriteBytes(page, bytes);
    fs::last_write_time(page, when);
  };
  const std::set<std::string> all = {"a.htm", "c.htm", "d.htm", "sub/b.html"};
  const struct {
    const char* what;
    std::function<void()> change;
    std::vector<std::string> extra;
    std::set<std::string> cleaned;
  } cases[] = {
      {"nothing", [] {}, {}, {}},
      {"a source edited",
       [&] { WriteBytes(site / "a.htm", "<script>1</script>A!"); },
       {},
       {"a.htm"}},
      {"a source's bytes put back under its old mtime",
       [&] { sameMtime(site / "c.htm"); },
       {},
       {"c.htm"}},
      {"a copy edited by the user",
       [&] { WriteBytes(Copy("sub/b.html"), "edited"); },
       {},
       {"sub/b.html"}},
      {"a copy removed", [&] { fs::remove(Copy("a.htm")); }, {}, {"a.htm"}},
      {"a page added", [&] { WriteBytes(site / "d.htm", "<script>4</script>d"); }, {}, {"d.htm"}},
      {"a banner slot saved while banner is off",
       [&] {
         WriteBytes(ini, Settings(out.string(), true) + "[Banner0]\r\nFirst=<i>\r\nLast=</i>\r\n");
       },
       {},
       {}},
      {"other switches", [] {}, {"--only", "script,banner"}, all},
      {"a banner slot saved while banner is on",
       [&] { WriteBytes(ini, Settings(out.string(), true) + "[Banner0]\r\nFirst=<b>\r\n"); },
       {"--only", "script,banner"},
       all},
      {"a damaged manifest",
       [&] { WriteBytes(Manifest(), ReadBytes(Manifest()) + "x"); },
       {"--only", "script,banner"},
       all},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.change();
    std::vector<std::string> args = c.extra;
    args.push_back("--changed");
    const Outcome o = Run(args);
    EXPECT_EQ(o.status, 0) << o.err;
    const Said said = WhatWasSaid(o);
    EXPECT_EQ(said.cleaned, c.cleaned) << o.out;
    EXPECT_EQ(said.cleaned.size() + said.upToDate.size(), fs::exists(site / "d.htm") ? 4u : 3u);
    EXPECT_EQ(o.out.find("Прошлый запуск не учтен") != std::string::npos,
              std::string(c.what) == "a damaged manifest");
    // What the copies hold is what a full run with these settings writes.
    TempDir fresh;
    std::vector<std::string> whole = {"--settings", ini.string(), "--output",
                                      fresh.Path().string()};
    whole.insert(whole.end(), c.extra.begin(), c.extra.end());
    whole.push_back(site.string());
    ASSERT_EQ(Cli(whole).status, 0);
    for (const char* page : {"a.htm", "c.htm", "d.htm", "sub/b.html"}) {
      if (fs::exists(site / page)) {
        EXPECT_EQ(ReadBytes(Copy(page)), ReadBytes(Output(fresh.Path(), site / page))) << page;
      }
    }
    // And the manifest it left finds every page up to date.
    args.push_back("--quiet");
    EXPECT_EQ(WhatWasSaid(Run(args)).cleaned, std::set<std::string>{});
  }
}

// A re-run with nothing changed writes no copy (their times stay), logs one line a page in
// log.txt as on the terminal, counts the pages apart and exits with 0; --json calls them
// "unchanged", the summary "up_to_date".
TEST_F(RerunTest, UnchangedPagesAreLoggedCountedAndNotWritten) {
  ASSERT_EQ(Run().status, 0);
  const fs::file_time_type before = fs::last_write_time(Copy("a.htm"));
  const Outcome o = Run({"--changed", "--summary"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(fs::last_write_time(Copy("a.htm")), before);
  std::vector<std::string> body = LogTxt(out);
  body.erase(body.begin(), body.begin() + 5);  // the header
  std::sort(body.begin(), body.end());         // the search's order is the system's
  EXPECT_EQ(body, (std::vector<std::string>{site.string() + "/a.htm не изменен",
                                            site.string() + "/c.htm не изменен",
                                            site.string() + "/sub/b.html не изменен"}))
      << o.out;
  EXPECT_NE(o.err.find("Обработано 0 файлов"), std::string::npos) << o.err;
  EXPECT_NE(o.err.find("Не изменено: 3"), std::string::npos) << o.err;
  EXPECT_NE(o.err.find("как после прошлого запуска 3"), std::string::npos) << o.err;
  const Outcome json = Run({"--changed", "--json", "--summary=json"});
  EXPECT_NE(json.out.find(R"({"type":"unchanged","page":")" + site.string() + "/a.htm\""),
            std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find(R"("up_to_date":3)"), std::string::npos) << json.out;
}

// A dry run goes through every page as a run does, with the same lines, and writes and removes
// nothing: no copy, folder, log.txt or manifest, and a stray temporary file stays.
TEST_F(RerunTest, ADryRunWritesAndRemovesNothing) {
  const Outcome fresh = Run({"--dry-run"});
  EXPECT_EQ(fresh.status, 0) << fresh.err;
  EXPECT_FALSE(fs::exists(out));
  std::vector<std::string> lines = Lines(fresh.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Проверка: ничего не записано");
  const Outcome real = Run();
  std::vector<std::string> realLines = Lines(real.out);
  realLines.pop_back();  // where log.txt went
  lines.pop_back();
  EXPECT_EQ(lines, realLines);

  const fs::path stray = Output(out, site / ".vn00000000.t");
  WriteBytes(stray, "left over");
  fs::last_write_time(stray, fs::file_time_type::clock::now() - std::chrono::hours(1));
  WriteBytes(site / "a.htm", "<script>1</script>changed");
  const std::map<std::string, std::string> before = RunResult(out);
  const std::string manifest = ReadBytes(Manifest());
  const Outcome dry = Run({"--dry-run", "--changed"});
  EXPECT_EQ(dry.status, 0);
  EXPECT_EQ(RunResult(out), before);
  EXPECT_EQ(ReadBytes(Manifest()), manifest);
  EXPECT_TRUE(fs::exists(stray));
  EXPECT_EQ(WhatWasSaid(dry).cleaned, std::set<std::string>{"a.htm"}) << dry.out;
  const Outcome json = Run({"--dry-run", "--json"});
  EXPECT_NE(json.out.find(R"({"type":"dry_run","message":"Проверка: ничего не записано"})"),
            std::string::npos)
      << json.out;
  WriteBytes(Manifest(), "damaged");
  const Outcome warned = Run({"--dry-run", "--json", "--changed"});
  EXPECT_NE(warned.out.find(R"({"type":"warning","message":"Прошлый запуск не учтен)"),
            std::string::npos)
      << warned.out;
}

// --files-from takes exactly the pages listed, in the list's order, each once; a relative line
// is below FOLDER; what is not a page below FOLDER is refused alone, with why, and makes the
// exit status 1.
TEST_F(RerunTest, FilesFromTakesTheListedPagesInTheirOrder) {
  fs::create_directories(site / "folder.htm");
  WriteBytes(dir / "outside.htm", "x");
  const std::string s = site.string();
  const struct {
    const char* what;
    std::string list;
    bool nul;
    std::vector<std::string> pages;  // in the order cleaned
    std::vector<std::string> refused;
  } cases[] = {
      {"lines", "c.htm\nsub/b.html\n", false, {"c.htm", "sub/b.html"}, {}},
      {"find's ./ and a CR LF", "./sub/b.html\r\n./a.htm\r\n", false, {"sub/b.html", "a.htm"}, {}},
      {"NUL-separated", std::string("a.htm\0c.htm\0", 12), true, {"a.htm", "c.htm"}, {}},
      {"absolute, twice, with .. inside",
       s + "/c.htm\nsub/../c.htm\n" + s + "//a.htm\n",
       false,
       {"c.htm", "a.htm"},
       {}},
      {"not pages below the folder",
       "../outside.htm\n" + (dir / "outside.htm").string() + "\nmissing.htm\nfolder.htm\n" + s +
           "/sub\nc.htm\n",
       false,
       {"c.htm"},
       {"../outside.htm не обработан: страница не в папке " + s,
        (dir / "outside.htm").string() + " не обработан: страница не в папке " + s,
        "Cannot open file \"" + s + "/missing.htm\". No such file or directory",
        s + "/folder.htm не обработан: это не обычный файл",
        s + "/sub не обработан: это не файл .htm или .html"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir output;
    std::vector<std::string> args = {"--output", output.Path().string(), "--only",
                                     "script",   "--files-from",         "-"};
    if (c.nul) {
      args.push_back("-0");
    }
    args.push_back(site.string());
    const Outcome o = RunProgram(VARNOW_CLI, args, nullptr, false, {}, &c.list);
    EXPECT_EQ(o.status, c.refused.empty() ? 0 : 1) << o.err;
    std::vector<std::string> cleaned;
    std::vector<std::string> refused;
    for (const std::string& line : Lines(o.out)) {
      if (line.find("удален <script>") != std::string::npos) {
        cleaned.push_back(line.substr(s.size() + 1, line.find(' ') - s.size() - 1));
      } else if (line.find("не обработан") != std::string::npos ||
                 line.find("Cannot open") != std::string::npos) {
        refused.push_back(line);
      }
    }
    EXPECT_EQ(cleaned, c.pages);
    EXPECT_EQ(refused, c.refused);
    std::size_t copies = 0;
    for (const auto& e : fs::recursive_directory_iterator(output.Path())) {
      copies += e.is_regular_file() && e.path().extension() != ".txt" &&
                e.path().filename() != ".varnow-manifest";
    }
    EXPECT_EQ(copies, c.pages.size());
  }
  EXPECT_EQ(Cli({"-0", "--only", "all", "--output", out.string(), site.string()}).status, 2);
  const Outcome missing =
      Cli({"--files-from", (dir / "nope").string(), "--only", "all", "--output", out.string(), s});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("Не удалось прочитать список страниц " + (dir / "nope").string()),
            std::string::npos)
      << missing.err;
}

// --log FILE puts log.txt there and the manifest beside it as FILE.manifest, which the next
// --changed run with the same --log reads; listed runs keep the records of pages not listed.
TEST_F(RerunTest, ALogNamedByHandHasItsOwnManifest) {
  const fs::path log = dir / "logs" / "run.log";
  ASSERT_EQ(Run({"--log", log.string()}).status, 0);
  EXPECT_TRUE(fs::exists(log));
  EXPECT_TRUE(fs::exists(log.string() + ".manifest"));
  EXPECT_FALSE(fs::exists(Copy("log.txt")));
  EXPECT_FALSE(fs::exists(Manifest()));
  const std::string list = "a.htm\n";
  WriteBytes(site / "a.htm", "<script>1</script>new");
  const Outcome listed = RunProgram(VARNOW_CLI,
                                    {"--settings", ini.string(), "--log", log.string(), "--changed",
                                     "--files-from", "-", site.string()},
                                    nullptr, false, {}, &list);
  EXPECT_EQ(WhatWasSaid(listed).cleaned, std::set<std::string>{"a.htm"});
  const Outcome again = Run({"--log", log.string(), "--changed"});
  EXPECT_EQ(WhatWasSaid(again).cleaned, std::set<std::string>{}) << again.out;
  EXPECT_EQ(WhatWasSaid(again).upToDate.size(), 3u);
}

// Shards split the pages between them, each once, with logs and manifests of their own.
TEST_F(RerunTest, ShardsTakeEveryPageOnce) {
  for (int i = 0; i < 20; ++i) {
    WriteBytes(site / ("p" + std::to_string(i) + ".htm"), "<script>x</script>");
  }
  std::multiset<std::string> cleaned;
  for (const char* shard : {"0/3", "1/3", "2/3"}) {
    const Outcome o = Run({"--shard", shard});
    EXPECT_EQ(o.status, 0) << o.err;
    for (const std::string& page : WhatWasSaid(o).cleaned) {
      cleaned.insert(page);
    }
    const std::string name = std::string("log-") + shard[0] + "-of-3.txt";
    EXPECT_TRUE(fs::exists(Copy(name)));
    EXPECT_TRUE(fs::exists(Copy(name + ".manifest")));
  }
  EXPECT_EQ(cleaned.size(), 23u);
  EXPECT_EQ(std::set<std::string>(cleaned.begin(), cleaned.end()).size(), 23u);
  EXPECT_FALSE(fs::exists(Copy("log.txt")));
  for (const char* wrong : {"3/3", "1", "-1/3", "0/0", "a/b"}) {
    EXPECT_EQ(Run({"--shard", wrong}).status, 2) << wrong;
  }
  // A log named as a page could be written over one.
  EXPECT_EQ(Run({"--log", (site / "a.htm").string()}).status, 2);
  EXPECT_EQ(ReadBytes(site / "a.htm"), "<script>1</script>a");
}

// A re-run large enough to be judged on several threads says what one thread says, in the
// same order, and cleans exactly the pages changed.
TEST_F(RerunTest, EveryJobsGivesTheOneThreadReRun) {
  constexpr int kPages = 2100;  // more than one part a thread
  for (int i = 0; i < kPages; ++i) {
    WriteBytes(site / ("f" + std::to_string(i % 7)) / ("p" + std::to_string(i) + ".htm"),
               "<script>" + std::to_string(i) + "</script>");
  }
  ASSERT_EQ(Run({"--jobs", "2"}).status, 0);
  for (const int i : {5, 1000, 2099}) {
    WriteBytes(site / ("f" + std::to_string(i % 7)) / ("p" + std::to_string(i) + ".htm"), "new");
  }
  std::vector<std::string> outputs;
  for (const char* jobs : {"1", "3"}) {
    const Outcome o = Run({"--changed", "--dry-run", "--jobs", jobs});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(WhatWasSaid(o).upToDate.size(), std::size_t{kPages});
    outputs.push_back(o.out);
  }
  EXPECT_EQ(outputs[0], outputs[1]);
  EXPECT_EQ(WhatWasSaid(Run({"--changed", "--jobs", "3"})).upToDate.size(), std::size_t{kPages});
  EXPECT_EQ(WhatWasSaid(Run({"--changed", "--jobs", "3"})).upToDate.size(),
            std::size_t{kPages + 3});
}

TEST_F(RerunTest, HelpListsTheOptions) {
  const Outcome help = Cli({"--help"});
  for (const char* option :
       {"--changed", "--dry-run", "--files-from", "-0, --null", "--log FILE", "--shard K/N"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace varnow
