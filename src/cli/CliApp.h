// SPDX-License-Identifier: MIT
#pragma once

namespace varnow::cli {

// Exit statuses of varnow-cli.
inline constexpr int kExitDone = 0;          // a complete run
inline constexpr int kExitError = 1;         // the run, or its settings, failed
inline constexpr int kExitUsage = 2;         // the command line was wrong
inline constexpr int kExitSignalBase = 128;  // + the signal that stopped the run: 130 for Ctrl-C

// The whole program: parses the arguments, runs one batch, returns the exit status.
int RunCli(int argc, char** argv);

}  // namespace varnow::cli
