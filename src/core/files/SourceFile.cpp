// SPDX-License-Identifier: MIT
#include "files/SourceFile.h"

#include <vector>

namespace varnow {

Failed SourceFile::Load(const Sink& sink, const StopToken& stop) {
  std::vector<char> block(kBlockSize);
  for (;;) {
    std::size_t got = 0;
    if (Failed failed = file_.Read(block.data(), block.size(), got)) {
      return failed;
    }
    if (got == 0) {
      return std::nullopt;
    }
    sink(std::string_view(block.data(), got));
    if (stop.Poll()) {
      return std::nullopt;
    }
  }
}

}  // namespace varnow
