#include "base/big_array.h"

#include <sys/mman.h>

namespace vennik::big_memory {

namespace {
constexpr size_t kHugePage = size_t{2} << 20;
}

size_t mappedSize(size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

void* map(size_t bytes) {
  const size_t length = mappedSize(bytes);
  void* p = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
#ifdef MADV_HUGEPAGE
  ::madvise(p, length, MADV_HUGEPAGE);
#endif
  return p;
}

void* remap(void* p, size_t oldBytes, size_t newBytes) {
  const size_t length = mappedSize(newBytes);
#ifdef __linux__
  void* q = ::mremap(p, oldBytes, length, MREMAP_MAYMOVE);
  if (q == MAP_FAILED) return nullptr;
#ifdef MADV_HUGEPAGE
  ::madvise(q, length, MADV_HUGEPAGE);
#endif
  return q;
#else
  void* q = map(newBytes);
  if (!q) return nullptr;
  std::memcpy(q, p, oldBytes < length ? oldBytes : length);
  unmap(p, oldBytes);
  return q;
#endif
}

void unmap(void* p, size_t bytes) {
  if (p) ::munmap(p, bytes);
}

}  // namespace vennik::big_memory
