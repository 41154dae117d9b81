// SPDX-License-Identifier: MIT
#include <cstdio>
#include <new>

#include "CliApp.h"
#include "CliTexts.h"

int main(int argc, char** argv) {
  try {
    return varnow::cli::RunCli(argc, argv);
  } catch (const std::bad_alloc&) {
    // Anything too large for memory (a huge page explained, a run's first lines) ends the
    // program with a message, never an abort.
    const varnow::Language language = varnow::LanguageOfEnvironment();
    std::fprintf(stderr, "%s\n", varnow::cli::texts::kNoMemory.In(language).data());
    return varnow::cli::kExitError;
  }
}
