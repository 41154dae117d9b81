// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "support/TempDir.h"
#include "text/Cp1251.h"

// varnow-cli run as a program on temporary trees, and what the tests read back of a run.
namespace varnow::cli_test {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

struct Outcome {
  int status = -1;  // the exit status, or 128 + the signal that killed it
  long peakKb = 0;  // the program's peak resident memory
  std::string out;
  std::string err;
};

// Runs the program with `args`, reading its output as it comes; `onOutput` sees stdout so far
// and gets the child's pid (to signal it). With `closedStdout` nobody reads standard output:
// its pipe is closed from the start, as `| head -1` closes it after a line.
// The child speaks Russian, the program's own texts that the tests pin, unless `env` says
// otherwise; `env` adds NAME=VALUE settings to the child's environment. `input`, where given,
// is what the child reads on standard input.
Outcome RunProgram(const fs::path& program, const std::vector<std::string>& args,
                   const std::function<void(const std::string&, pid_t)>& onOutput = nullptr,
                   bool closedStdout = false, const std::vector<std::string>& env = {},
                   const std::string* input = nullptr);

Outcome Cli(const std::vector<std::string>& args);

std::vector<std::string> Lines(const std::string& text, const std::string& end = "\n");

// Settings with one switch on (none when `on` is empty).
std::string Settings(const std::string& outputFolder, bool script,
                     std::string_view on = "RmScript");

// What a run left below `base`: its folders, its copies, and log.txt without the header's date,
// time and elapsed time, and with the run's own output folder written "OUT" where an error
// names it.
std::map<std::string, std::string> RunResult(const fs::path& base);

class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    WriteBytes(site / "a.htm", "<script>1</script>a");
    WriteBytes(site / "sub" / "b.html", "b<script>2</script>");
    WriteBytes(ini, Settings(out.string(), true));
  }
  fs::path Output(const fs::path& base, const fs::path& source) const {
    return base.string() + source.string();
  }
  std::vector<std::string> LogTxt(const fs::path& base) const {
    return Lines(Cp1251ToUtf8(ReadBytes(Output(base, site / "log.txt"))), "\r\n");
  }

  TempDir dir;
  fs::path site = dir / "site";
  fs::path out = dir / "out";
  fs::path ini = dir / "settings.ini";
};

}  // namespace varnow::cli_test
