// SPDX-License-Identifier: MIT
#include "CliOptions.h"

#include "CliTexts.h"
#include "cleaning/ProcedureTable.h"
#include "discovery/CollectFiles.h"
#include "text/ByteSize.h"
#include "text/Format.h"

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
    {"--help", 'h', false},      {"--version", 'V', false},    {"--quiet", 'q', false},
    {"--settings", 0, true},     {"--output", 0, true},        {"--jobs", 'j', true},
    {"--json", 0, false},        {"--log-encoding", 0, true},  {"--explain", 0, true},
    {"--only", 0, true},         {"--max-page-size", 0, true}, {"--language", 0, true},
    {"--log-language", 0, true}, {"--changed", 0, false},      {"--dry-run", 0, false},
    {"--files-from", 0, true},   {"--null", '0', false},       {"--log", 0, true},
    {"--shard", 0, true},
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
void Apply(const OptionSpec& option, const std::string& value, ParsedArguments& parsed,
           Language language) {
  CliOptions& o = parsed.options;
  const std::string_view name = option.name;
  const auto say = [&](const Texts& text, std::initializer_list<FormatArg> values) {
    parsed.error = FormatText(text.In(language), values);
  };
  if (name == "--help") {
    o.help = true;
  } else if (name == "--version") {
    o.version = true;
  } else if (name == "--quiet") {
    o.quiet = true;
  } else if (name == "--json") {
    o.json = true;
  } else if (name == "--changed") {
    o.changed = true;
  } else if (name == "--dry-run") {
    o.dryRun = true;
  } else if (name == "--null") {
    o.nulSeparated = true;
  } else if (name == "--files-from") {
    o.filesFrom = value;
  } else if (name == "--log") {
    // A log named as a page could be written over one: pages are never written.
    if (value.empty() || HasPageExtension(value)) {
      say(texts::kLogValue, {});
    } else {
      o.log = value;
    }
  } else if (name == "--shard") {
    o.shard = ParseShard(value);
    if (!o.shard) {
      say(texts::kShardValue, {value});
    }
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
      say(texts::kJobsValue, {value});
    } else {
      o.jobs = static_cast<std::size_t>(n);
    }
  } else if (name == "--log-encoding") {
    o.logEncoding = LogEncodingNamed(value);
    if (!o.logEncoding) {
      say(texts::kLogEncodingValue, {value});
    }
  } else if (name == "--language" || name == "--log-language") {
    std::optional<Language>& chosen = name == "--language" ? o.language : o.logLanguage;
    chosen = LanguageNamed(value);
    if (!chosen) {
      say(texts::kLanguageValue, {name, value});
    }
  } else if (name == "--only") {
    o.only = ParseOnly(value, parsed.error, language);
  } else if (name == "--max-page-size") {
    o.maxPageSize = ParseByteSize(value);
    if (!o.maxPageSize || *o.maxPageSize == 0) {
      say(texts::kMaxPageSizeValue, {value});
    }
  }
}

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& args, Language fallback) {
  const Language language = command_line::LanguageAsked(args).value_or(fallback);
  const auto say = [language](const Texts& text, std::initializer_list<FormatArg> values) {
    return FormatText(text.In(language), values);
  };
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
      parsed.error = say(texts::kNeedsValue, {shown});
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
        parsed.error = say(texts::kSummaryValue, {std::string_view(arg).substr(10)});
      } else {
        parsed.error = say(texts::kUnknownOption, {arg});
      }
    } else if (arg.starts_with("--")) {
      const std::size_t equals = arg.find('=');
      const OptionSpec* option = LongOption(std::string_view(arg).substr(0, equals));
      if (option == nullptr) {
        parsed.error = say(texts::kUnknownOption, {std::string_view(arg).substr(0, equals)});
      } else if (!option->takesValue && equals != std::string::npos) {
        parsed.error = say(texts::kTakesNoValue, {option->name});
      } else if (!option->takesValue) {
        Apply(*option, {}, parsed, language);
      } else if (const std::optional<std::string> value =
                     valueOf(i, option->name,
                             equals == std::string::npos
                                 ? std::nullopt
                                 : std::optional<std::string>(arg.substr(equals + 1)))) {
        Apply(*option, *value, parsed, language);
      }
    } else {
      // Letters, bundled ("-qj3"): one that takes a value takes the rest of the argument, or
      // the next argument where nothing is left.
      for (std::size_t k = 1; k < arg.size() && !parsed.error; ++k) {
        const OptionSpec* option = ShortOption(arg[k]);
        if (option == nullptr) {
          parsed.error = say(texts::kUnknownOption, {"-" + std::string(1, arg[k])});
        } else if (!option->takesValue) {
          Apply(*option, {}, parsed, language);
        } else {
          const std::string shown = "-" + std::string(1, arg[k]);
          if (const std::optional<std::string> value =
                  valueOf(i, shown,
                          k + 1 < arg.size() ? std::optional<std::string>(arg.substr(k + 1))
                                             : std::nullopt)) {
            Apply(*option, *value, parsed, language);
          }
          break;
        }
      }
    }
  }
  if (parsed.error || o.help || o.version) {
    return parsed;
  }
  if (o.nulSeparated && !o.filesFrom) {
    parsed.error = say(texts::kNullWithoutList, {});
    return parsed;
  }
  if (o.explain) {
    if (!folders.empty()) {
      parsed.error = say(texts::kExplainNoFolder, {});
    }
    return parsed;
  }
  if (folders.empty()) {
    parsed.error = say(texts::kNoFolder, {});
  } else if (folders.size() > 1) {
    parsed.error = say(texts::kOneFolder, {static_cast<std::int64_t>(folders.size())});
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
                                                           std::optional<std::string>& error,
                                                           Language language) {
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
      error = FormatText(texts::kUnknownProcedure.In(language), {name, OnlyNames()});
      return std::nullopt;
    }
    if (comma == std::string::npos) {
      return on;
    }
    start = comma + 1;
  }
}

std::string UsageText(const std::string& settingsFile, Language language) {
  return FormatText(texts::kUsage.In(language), {settingsFile, OnlyNames()});
}

}  // namespace varnow::cli
