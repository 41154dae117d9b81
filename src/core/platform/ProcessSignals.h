// SPDX-License-Identifier: MIT
#pragma once

namespace varnow {

// Signals whose default action would kill the process in the middle of a run, leaving the user
// guessing: a reader of standard output that went away (SIGPIPE) and a write past the
// file-size limit (SIGXFSZ). Ignored, the write fails instead (EPIPE, EFBIG) and the run
// reports it as any other error.
void IgnoreSignalsThatWouldKillARun();

}  // namespace varnow
