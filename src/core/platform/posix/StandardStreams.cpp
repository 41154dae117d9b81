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

bool IsTerminal(StandardStream stream) {
  return ::isatty(Descriptor(stream)) != 0;
}

void PrepareTerminal() {}

}  // namespace varnow
