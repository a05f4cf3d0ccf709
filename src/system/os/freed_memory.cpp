#include "system/os/freed_memory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vennik {

void giveBackFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

void keepFreedMemoryForReuse() {
#if defined(__GLIBC__)
  ::mallopt(M_MMAP_THRESHOLD, 16 << 20);
  ::mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

}  // namespace vennik
