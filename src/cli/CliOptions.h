// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cleaning/ProcedureId.h"
#include "discovery/PageShard.h"
#include "messages/Language.h"
#include "text/LogEncoding.h"

namespace varnow::cli {

struct CliOptions {
  std::optional<std::string> settings;  // --settings FILE
  std::optional<std::string> output;    // --output DIR, in place of StorePatch
  std::string folder;
  std::optional<std::string> explain;  // --explain FILE, in place of FOLDER
  bool quiet = false;                  // --quiet: no log lines on stdout
  std::optional<std::size_t> jobs;     // --jobs N: pages cleaned at once (default: the cores)
  // --log-encoding cp1251|utf-8, in place of the settings file's LogEncoding.
  std::optional<LogEncoding> logEncoding;
  // --log-language ru|en, in place of the settings file's LogLanguage.
  std::optional<Language> logLanguage;
  // --language ru|en: the program's own messages, in place of the settings file's Language
  // and the locale.
  std::optional<Language> language;
  bool json = false;  // --json: each change as a JSON object on stdout instead of its line
  // --summary[=table|json]: what the run did, at its end, as a table on stderr or as a JSON
  // object on stdout.
  enum class Summary { kNone, kTable, kJson };
  Summary summary = Summary::kNone;
  // --only LIST: the procedures to run, in place of the settings file's switches.
  std::optional<std::array<bool, kProcedureCount>> only;
  // --max-page-size SIZE: a larger page is refused, in place of the settings file's
  // MaxPageSize and of the limit worked out from the memory a run may use.
  std::optional<std::uint64_t> maxPageSize;
  bool changed = false;  // --changed: only the pages changed since the last run are cleaned
  bool dryRun = false;   // --dry-run: nothing is written
  // --files-from FILE ("-": standard input): the pages to clean, in place of the search; with
  // -0/--null separated by NUL bytes, else one a line.
  std::optional<std::string> filesFrom;
  bool nulSeparated = false;
  std::optional<std::string> log;  // --log FILE: log.txt's path
  std::optional<PageShard> shard;  // --shard K/N
  bool help = false;
  bool version = false;
};

struct ParsedArguments {
  CliOptions options;
  std::optional<std::string> error;  // what is wrong with the command line
};

// varnow-cli [--settings FILE] [--output DIR] [--quiet] FOLDER; also --opt=VALUE, "--" before a
// folder that begins with "-", -h/--help and -V/--version. What is wrong is told in the language
// --language asks for, else in `language`.
ParsedArguments ParseArguments(const std::vector<std::string>& args,
                               Language language = Language::kEnglish);

// The help, naming the settings file the program would use.
std::string UsageText(const std::string& settingsFile, Language language = Language::kEnglish);

// "script,span", "all" or "none": the switches named, by their settings keys without "Rm" in
// lower case; nothing, with `error` set, for an unknown name.
std::optional<std::array<bool, kProcedureCount>> ParseOnly(const std::string& list,
                                                           std::optional<std::string>& error,
                                                           Language language = Language::kEnglish);

}  // namespace varnow::cli
