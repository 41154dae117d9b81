// SPDX-License-Identifier: MIT
#include "BenchOptions.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace fs = std::filesystem;

namespace varnow::bench {

BenchOptions ParseBenchOptions(int argc, char** argv, const std::string& smokeName,
                               const OwnOption& own) {
  BenchOptions o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        throw std::runtime_error(arg + " needs a value");
      }
      return argv[++i];
    };
    if (arg == "--rounds") {
      o.rounds = std::max(1, std::atoi(value().c_str()));
    } else if (arg == "--site") {
      o.sites.push_back(fs::absolute(value()));
    } else if (arg == "--work") {
      o.work = fs::absolute(value());
    } else if (arg == "--smoke") {
      o.smoke = true;
    } else if (!own(arg, value)) {
      throw std::runtime_error("unknown argument " + arg);
    }
  }
  if (o.smoke) {
    o.rounds = 1;
    o.work = fs::temp_directory_path() / (smokeName + "." + std::to_string(::getpid()));
  }
  return o;
}

}  // namespace varnow::bench
