// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "platform/SystemFailure.h"

// The program's standard streams, byte for byte: read() and write() on POSIX, ReadFile and
// WriteFile on Windows (whose console is switched to UTF-8 first, as the program's texts are;
// no text mode turns CR LF or a Ctrl-Z byte into anything else).
namespace varnow {

enum class StandardStream { kOutput, kError };

// Writes all of `bytes`, going on after interruptions.
Failed WriteToStream(StandardStream stream, std::string_view bytes);
// Appends to `bytes` all that standard input holds, to its end.
Failed ReadStandardInput(std::string& bytes);
// Whether the stream is a terminal (a console on Windows), not a file or a pipe.
bool IsTerminal(StandardStream stream);
// Makes the terminal show the program's UTF-8 as text (Windows' console code page); nothing to
// do on POSIX.
void PrepareTerminal();

}  // namespace varnow
