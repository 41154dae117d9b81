// SPDX-License-Identifier: MIT
#include <cstdio>
#include <new>

#include "CliApp.h"

int main(int argc, char** argv) {
  try {
    return varnow::cli::RunCli(argc, argv);
  } catch (const std::bad_alloc&) {
    // Anything too large for memory (a huge page explained, a run's first lines) ends the
    // program with a message, never an abort.
    std::fputs("varnow-cli: not enough memory\n", stderr);
    return varnow::cli::kExitError;
  }
}
