// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace varnow {

// The program's arguments after its name, in UTF-8: argv itself on POSIX; on Windows the wide
// command line (argv is in the ANSI code page there, which has no letters for most names).
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace varnow
