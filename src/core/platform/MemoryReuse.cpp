// SPDX-License-Identifier: MIT
#include "platform/MemoryReuse.h"

#if __has_include(<malloc.h>)
#include <malloc.h>  // brings __GLIBC__ along where it is glibc's
#endif

namespace varnow {

void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
  // Blocks up to 32 MB come from the heaps rather than their own mappings (the largest value
  // glibc would reach by itself), and up to 64 MB free at a heap's top stay there.
  constexpr int kMappedFrom = 32 * 1024 * 1024;
  constexpr int kKeptAtTop = 64 * 1024 * 1024;
  ::mallopt(M_MMAP_THRESHOLD, kMappedFrom);
  ::mallopt(M_TRIM_THRESHOLD, kKeptAtTop);
#endif
}

void GiveFreedMemoryBack() {
#if defined(__GLIBC__)
  ::malloc_trim(0);
#endif
}

}  // namespace varnow
