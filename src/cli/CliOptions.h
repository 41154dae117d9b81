#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnow::cli {

struct CliOptions {
  std::optional<std::string> settings;  // --settings FILE
  std::optional<std::string> output;    // --output DIR, in place of StorePatch
  std::string folder;
  bool quiet = false;  // --quiet: no log lines on stdout
  bool help = false;
  bool version = false;
};

struct ParsedArguments {
  CliOptions options;
  std::optional<std::string> error;  // what is wrong with the command line
};

// varnow-cli [--settings FILE] [--output DIR] [--quiet] FOLDER; also --opt=VALUE, "--" before a folder
// that begins with "-", -h/--help and -V/--version.
ParsedArguments ParseArguments(const std::vector<std::string>& args);

std::string UsageText();

}  // namespace varnow::cli
