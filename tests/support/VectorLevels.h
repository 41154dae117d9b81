// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

#include "document/vector/VectorLevel.h"

namespace varnow::test {

// Every vector level this processor runs, the plain loop first: the engine's scans are held to
// the same answers at each.
inline std::vector<VectorLevel> RunnableVectorLevels() {
  std::vector<VectorLevel> levels{VectorLevel::kScalar, VectorLevel::kSse2};
  if (DetectVectorLevel() == VectorLevel::kAvx2) {
    levels.push_back(VectorLevel::kAvx2);
  }
  return levels;
}

inline const char* VectorLevelName(VectorLevel level) {
  switch (level) {
    case VectorLevel::kScalar:
      return "scalar";
    case VectorLevel::kSse2:
      return "SSE2";
    case VectorLevel::kAvx2:
      return "AVX2";
  }
  return "?";
}

}  // namespace varnow::test
