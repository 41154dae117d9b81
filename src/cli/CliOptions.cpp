// SPDX-License-Identifier: MIT
#include "CliOptions.h"

#include "cleaning/ProcedureTable.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

namespace varnow::cli {
namespace {

// "--name VALUE" or "--name=VALUE"; advances `i` past what it used.
std::optional<std::string> OptionValue(const std::vector<std::string>& args, std::size_t& i,
                                       std::string_view name, std::optional<std::string>& error) {
  const std::string& arg = args[i];
  if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
      arg[name.size()] == '=') {
    return arg.substr(name.size() + 1);
  }
  if (i + 1 >= args.size()) {
    error = "option " + std::string(name) + " needs a value";
    return std::nullopt;
  }
  return args[++i];
}

bool IsOption(const std::string& arg, std::string_view name) {
  return arg == name || (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
                         arg[name.size()] == '=');
}

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& args) {
  ParsedArguments parsed;
  CliOptions& o = parsed.options;
  std::vector<std::string> folders;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size() && !parsed.error; ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      folders.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "-h" || arg == "--help") {
      o.help = true;
    } else if (arg == "-q" || arg == "--quiet") {
      o.quiet = true;
    } else if (arg == "-V" || arg == "--version") {
      o.version = true;
    } else if (IsOption(arg, "--settings")) {
      o.settings = OptionValue(args, i, "--settings", parsed.error);
    } else if (IsOption(arg, "--output")) {
      o.output = OptionValue(args, i, "--output", parsed.error);
    } else if (IsOption(arg, "--jobs") || arg == "-j") {
      const std::string name = arg == "-j" ? "-j" : "--jobs";
      if (const std::optional<std::string> n = OptionValue(args, i, name, parsed.error)) {
        char* end = nullptr;
        const unsigned long long value = std::strtoull(n->c_str(), &end, 10);
        if (n->empty() || *end != '\0' || value == 0 || value > 1024 || (*n)[0] == '-') {
          parsed.error = "--jobs takes a number of pages from 1 to 1024, not '" + *n + "'";
        } else {
          o.jobs = static_cast<std::size_t>(value);
        }
      }
    } else if (arg == "--json") {
      o.json = true;
    } else if (arg == "--summary" || arg == "--summary=table") {
      o.summary = CliOptions::Summary::kTable;
    } else if (arg == "--summary=json") {
      o.summary = CliOptions::Summary::kJson;
    } else if (arg.starts_with("--summary=")) {
      parsed.error = "--summary takes table or json, not '" + arg.substr(10) + "'";
    } else if (IsOption(arg, "--log-encoding")) {
      if (const std::optional<std::string> name =
              OptionValue(args, i, "--log-encoding", parsed.error)) {
        o.logEncoding = LogEncodingNamed(*name);
        if (!o.logEncoding) {
          parsed.error = "--log-encoding takes cp1251 or utf-8, not '" + *name + "'";
        }
      }
    } else if (IsOption(arg, "--explain")) {
      o.explain = OptionValue(args, i, "--explain", parsed.error);
    } else if (IsOption(arg, "--only")) {
      if (const std::optional<std::string> list = OptionValue(args, i, "--only", parsed.error)) {
        o.only = ParseOnly(*list, parsed.error);
      }
    } else {
      parsed.error = "unknown option " + arg;
    }
  }
  if (parsed.error || o.help || o.version) {
    return parsed;
  }
  if (o.explain) {
    if (!folders.empty()) {
      parsed.error = "--explain FILE takes the place of FOLDER";
    }
    return parsed;
  }
  if (folders.empty()) {
    parsed.error = "no FOLDER given";
  } else if (folders.size() > 1) {
    parsed.error = "one FOLDER only, got " + std::to_string(folders.size());
  } else {
    o.folder = folders.front();
  }
  return parsed;
}

namespace {

std::string OnlyNames() {
  std::string names;
  for (const ProcedureRow& info : kProcedures) {
    names += (names.empty() ? "" : ",") + std::string(info.cliName);
  }
  return names;
}

}  // namespace

std::optional<std::array<bool, kProcedureCount>> ParseOnly(const std::string& list,
                                                           std::optional<std::string>& error) {
  std::array<bool, kProcedureCount> on{};
  if (list == "all" || list == "none") {
    on.fill(list == "all");
    return on;
  }
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(',', start);
    const std::string name = list.substr(start, comma == std::string::npos ? comma : comma - start);
    bool known = false;
    for (const ProcedureRow& info : kProcedures) {
      if (name == info.cliName) {
        on[Index(info.id)] = known = true;
      }
    }
    if (!known) {
      error = "unknown procedure '" + name + "' in --only; the names are " + OnlyNames() +
              ", or all, or none";
      return std::nullopt;
    }
    if (comma == std::string::npos) {
      return on;
    }
    start = comma + 1;
  }
}

std::string UsageText(const std::string& settingsFile) {
  return "Usage: varnow-cli [--settings FILE] [--output DIR] [--only LIST] [--jobs N]\n"
         "                  [--log-encoding cp1251|utf-8] [--json] [--summary[=json]]\n"
         "                  [--quiet] FOLDER\n"
         "       varnow-cli [--settings FILE] [--only LIST] --explain PAGE\n"
         "\n"
         "Cleans every .htm/.html file under FOLDER with the procedures switched on in the\n"
         "settings file and writes the cleaned copies, and log.txt, into the output folder,\n"
         "mirroring each file's full path. Sources are never written.\n"
         "\n"
         "Options:\n"
         "  --settings FILE  settings file to use (default: the desktop program's own file,\n"
         "                   varnow.ini beside this program where there is one, otherwise\n"
         "                   $XDG_CONFIG_HOME/varnow/varnow.ini or ~/.config/varnow/varnow.ini;\n"
         "                   here: " +
         settingsFile +
         ")\n"
         "  --output DIR     output folder, in place of StorePatch of the settings file\n"
         "  --only LIST      the procedures to run, in place of the settings file's switches:\n"
         "                   comma-separated names from " +
         OnlyNames() +
         ",\n"
         "                   or all, or none (banner still takes the file's banner slots);\n"
         "                   with --only and --output no settings file is needed\n"
         "  -j, --jobs N     clean N pages at once (default: the number of cores); what\n"
         "                   is written, and in which order, is what --jobs 1 writes\n"
         "  --log-encoding E log.txt in cp1251 (a character it lacks written as &#NNN;)\n"
         "                   or utf-8, in place of LogEncoding of the settings file\n"
         "                   (default: cp1251)\n"
         "  --json           print each change as a JSON object, one a line, in place of\n"
         "                   its log line (type, page, procedure, message, position);\n"
         "                   skipped pages, a stop and an error are objects too\n"
         "  --summary[=table|json]\n"
         "                   at the end, what the run did by procedure (changes, pages,\n"
         "                   bytes removed and put in), the totals and the ten pages\n"
         "                   changed most: a table on standard error, or one JSON object\n"
         "                   on standard output (the last, after --json's)\n"
         "  -q, --quiet      print no log lines (log.txt is written all the same)\n"
         "  --explain PAGE   clean one page in memory and print each change: its log line,\n"
         "                   then its line:column in the page with the text removed (-)\n"
         "                   and put in (+); nothing is written. The page is read in its\n"
         "                   own encoding (a byte-order mark, its <meta> charset, else\n"
         "                   UTF-8 when valid, else windows-1251), named on the first\n"
         "                   line; columns count the characters of the line so read\n"
         "  -h, --help       show this help and exit\n"
         "  -V, --version    show the version and exit\n"
         "\n"
         "Every log line is printed on standard output (buffered, shown at least every\n"
         "0.1 s); progress and the final status go to standard error. Ctrl-C stops the run:\n"
         "log.txt is still saved.\n"
         "\n"
         "Exit status: 0 after a complete run, 1 after an error, 2 for a wrong command line,\n"
         "130 after Ctrl-C (128 + the signal number for other stop signals).\n";
}

}  // namespace varnow::cli
