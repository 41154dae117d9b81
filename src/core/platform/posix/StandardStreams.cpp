// SPDX-License-Identifier: MIT
#include "platform/StandardStreams.h"

#include <unistd.h>

#include "platform/posix/DescriptorIo.h"

namespace varnow {
namespace {

int Descriptor(StandardStream stream) {
  return stream == StandardStream::kOutput ? STDOUT_FILENO : STDERR_FILENO;
}

}  // namespace

Failed WriteToStream(StandardStream stream, std::string_view bytes) {
  return WriteAll(Descriptor(stream), bytes);
}

Failed ReadStandardInput(std::string& bytes) {
  char block[64 * 1024];
  for (;;) {
    std::size_t got = 0;
    if (const Failed failed = ReadSome(STDIN_FILENO, block, sizeof block, got)) {
      return failed;
    }
    if (got == 0) {
      return std::nullopt;
    }
    bytes.append(block, got);
  }
}

bool IsTerminal(StandardStream stream) {
  return ::isatty(Descriptor(stream)) != 0;
}

void PrepareTerminal() {}

}  // namespace varnow
