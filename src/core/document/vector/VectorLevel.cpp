// SPDX-License-Identifier: MIT
#include "document/vector/VectorLevel.h"

namespace varnow {

VectorLevel DetectVectorLevel() {
#if defined(VARNOW_HAVE_AVX2_SCANS)
  if (__builtin_cpu_supports("avx2") != 0) {
    return VectorLevel::kAvx2;
  }
#endif
  return VectorLevel::kSse2;
}

}  // namespace varnow
