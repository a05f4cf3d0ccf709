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

}  // namespace vennik
