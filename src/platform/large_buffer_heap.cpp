#include "platform/large_buffer_heap.h"

#include <cstdlib>  // defines __GLIBC__ on glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kova {

void KeepLargeBuffersInHeap() {
#if defined(__GLIBC__)
  // Blocks up to 32 MB (glibc's ceiling for this setting on 64-bit) come
  // from the heap; up to 128 MB freed at its top stays there for reuse
  // before it is returned.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 128 << 20);
#endif
}

}  // namespace kova
