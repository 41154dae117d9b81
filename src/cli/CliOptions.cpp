// SPDX-License-Identifier: MIT
#include "CliOptions.h"

#include "cleaning/ProcedureTable.h"
#include "text/ByteSize.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace varnow::cli {
namespace {

// The options, each by its long name and, where it has one, its letter. Written by hand rather
// than with getopt_long, which takes any unambiguous abbreviation of a long option ("--out"
// for "--output"): an abbreviation that works today would change meaning the day an option
// sharing its start is added, so only whole names are taken.
struct OptionSpec {
  std::string_view name;  // "--output"
  char letter;            // 'j' for -j, or 0
  bool takesValue;
};
constexpr OptionSpec kOptions[] = {
    {"--help", 'h', false},  {"--version", 'V', false},    {"--quiet", 'q', false},
    {"--settings", 0, true}, {"--output", 0, true},        {"--jobs", 'j', true},
    {"--json", 0, false},    {"--log-encoding", 0, true},  {"--explain", 0, true},
    {"--only", 0, true},     {"--max-page-size", 0, true},
};

const OptionSpec* LongOption(std::string_view name) {
  for (const OptionSpec& o : kOptions) {
    if (o.name == name) {
      return &o;
    }
  }
  return nullptr;
}

const OptionSpec* ShortOption(char letter) {
  for (const OptionSpec& o : kOptions) {
    if (o.letter != 0 && o.letter == letter) {
      return &o;
    }
  }
  return nullptr;
}

// One option with its value (given for those that take one); a repeated option takes the
// value given last.
void Apply(const OptionSpec& option, const std::string& value, ParsedArguments& parsed) {
  CliOptions& o = parsed.options;
  const std::string_view name = option.name;
  if (name == "--help") {
    o.help = true;
  } else if (name == "--version") {
    o.version = true;
  } else if (name == "--quiet") {
    o.quiet = true;
  } else if (name == "--json") {
    o.json = true;
  } else if (name == "--settings") {
    o.settings = value;
  } else if (name == "--output") {
    o.output = value;
  } else if (name == "--explain") {
    o.explain = value;
  } else if (name == "--jobs") {
    char* end = nullptr;
    const unsigned long long n = std::strtoull(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || n == 0 || n > 1024 || value[0] == '-') {
      parsed.error = "--jobs takes a number of pages from 1 to 1024, not '" + value + "'";
    } else {
      o.jobs = static_cast<std::size_t>(n);
    }
  } else if (name == "--log-encoding") {
    o.logEncoding = LogEncodingNamed(value);
    if (!o.logEncoding) {
      parsed.error = "--log-encoding takes cp1251 or utf-8, not '" + value + "'";
    }
  } else if (name == "--only") {
    o.only = ParseOnly(value, parsed.error);
  } else if (name == "--max-page-size") {
    o.maxPageSize = ParseByteSize(value);
    if (!o.maxPageSize || *o.maxPageSize == 0) {
      parsed.error =
          "--max-page-size takes a size in bytes (K, M, G and T allowed), not '" + value + "'";
    }
  }
}

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& args) {
  ParsedArguments parsed;
  CliOptions& o = parsed.options;
  std::vector<std::string> folders;
  bool optionsEnded = false;
  // The value of an option that takes one: what follows "=" or the letter, else the next
  // argument.
  const auto valueOf = [&](std::size_t& i, std::string_view shown,
                           std::optional<std::string> attached) -> std::optional<std::string> {
    if (attached) {
      return attached;
    }
    if (i + 1 >= args.size()) {
      parsed.error = "option " + std::string(shown) + " needs a value";
      return std::nullopt;
    }
    return args[++i];
  };
  for (std::size_t i = 0; i < args.size() && !parsed.error; ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      folders.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg.starts_with("--summary")) {
      // Its value is optional, so it is given with "=" only.
      if (arg == "--summary" || arg == "--summary=table") {
        o.summary = CliOptions::Summary::kTable;
      } else if (arg == "--summary=json") {
        o.summary = CliOptions::Summary::kJson;
      } else if (arg.starts_with("--summary=")) {
        parsed.error = "--summary takes table or json, not '" + arg.substr(10) + "'";
      } else {
        parsed.error = "unknown option " + arg;
      }
    } else if (arg.starts_with("--")) {
      const std::size_t equals = arg.find('=');
      const OptionSpec* option = LongOption(std::string_view(arg).substr(0, equals));
      if (option == nullptr) {
        parsed.error = "unknown option " + arg.substr(0, equals);
      } else if (!option->takesValue && equals != std::string::npos) {
        parsed.error = "option " + std::string(option->name) + " takes no value";
      } else if (!option->takesValue) {
        Apply(*option, {}, parsed);
      } else if (const std::optional<std::string> value =
                     valueOf(i, option->name,
                             equals == std::string::npos
                                 ? std::nullopt
                                 : std::optional<std::string>(arg.substr(equals + 1)))) {
        Apply(*option, *value, parsed);
      }
    } else {
      // Letters, bundled ("-qj3"): one that takes a value takes the rest of the argument, or
      // the next argument where nothing is left.
      for (std::size_t k = 1; k < arg.size() && !parsed.error; ++k) {
        const OptionSpec* option = ShortOption(arg[k]);
        if (option == nullptr) {
          parsed.error = "unknown option -" + std::string(1, arg[k]);
        } else if (!option->takesValue) {
          Apply(*option, {}, parsed);
        } else {
          const std::string shown = "-" + std::string(1, arg[k]);
          if (const std::optional<std::string> value =
                  valueOf(i, shown,
                          k + 1 < arg.size() ? std::optional<std::string>(arg.substr(k + 1))
                                             : std::nullopt)) {
            Apply(*option, *value, parsed);
          }
          break;
        }
      }
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
         "                  [--max-page-size SIZE] [--quiet] FOLDER\n"
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
         "  --max-page-size SIZE\n"
         "                   refuse a page larger than SIZE bytes (K, M, G, T allowed), in\n"
         "                   place of MaxPageSize of the settings file; by default a page is\n"
         "                   refused when twice its size exceeds the memory a run may use\n"
         "                   (the smaller of the physical memory and ulimit -v)\n"
         "  -h, --help       show this help and exit\n"
         "  -V, --version    show the version and exit\n"
         "\n"
         "Letters may be bundled and take their value attached (-qj3); a long option takes\n"
         "its value as --name VALUE or --name=VALUE and is never abbreviated; an option\n"
         "given twice takes the value given last.\n"
         "\n"
         "Every log line is printed on standard output (buffered, shown at least every\n"
         "0.1 s); progress and the final status go to standard error. Ctrl-C stops the run:\n"
         "log.txt is still saved.\n"
         "\n"
         "Exit status: 0 after a complete run, 1 after an error, 2 for a wrong command line,\n"
         "130 after Ctrl-C (128 + the signal number for other stop signals).\n";
}

}  // namespace varnow::cli
