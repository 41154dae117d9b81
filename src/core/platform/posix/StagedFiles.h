// SPDX-License-Identifier: MIT
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/SystemFailure.h"
#include "platform/posix/DescriptorIo.h"

// The POSIX steps under NewFile and LogBody: unnamed files given a name, named temporaries
// renamed, bytes copied inside the kernel.
namespace varnow {

// Gives the unnamed (O_TMPFILE) file behind `fd` the name `target`, replacing what stands
// there as a NewFile's Commit does, and closes `fd`. Returns false, with nothing done and `fd`
// still open, when the file cannot be given a name there: it lies on another file system, or
// the file system makes no hard links (FAT, many FUSE and network file systems). Throws
// FileWriteError (kWrite, kCommit); `fd` is closed then.
bool CommitUnnamed(int fd, const std::filesystem::path& target);

// Renames the named temporary file behind `fd` over `target`, which keeps its permission bits,
// and closes `fd`. Returns false, with nothing done and `fd` still open, when the rename fails.
bool CommitNamed(int fd, const std::string& name, const std::filesystem::path& target);

// Copies bytes [from, end) of `in` to the end of `out`, inside the kernel where it can, calling
// `pump` between pieces. Throws FileWriteError (kWrite).
void CopyBytes(int in, off_t from, off_t end, int out, const std::function<void()>& pump);

}  // namespace varnow
