#include "base/big_array.h"

#include <windows.h>

namespace vennik::big_memory {

namespace {
// Reserved and committed in steps of this; large pages would need a
// privilege that an ordinary user does not hold.
constexpr size_t kStep = size_t{2} << 20;
}  // namespace

size_t mappedSize(size_t bytes) { return (bytes + kStep - 1) / kStep * kStep; }

void* map(size_t bytes) {
  return ::VirtualAlloc(nullptr, mappedSize(bytes), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void* remap(void* p, size_t oldBytes, size_t newBytes) {
  // Windows cannot move a mapping: a new one, and the bytes copied.
  const size_t length = mappedSize(newBytes);
  void* q = map(newBytes);
  if (!q) return nullptr;
  std::memcpy(q, p, oldBytes < length ? oldBytes : length);
  unmap(p, oldBytes);
  return q;
}

void unmap(void* p, size_t) {
  if (p) ::VirtualFree(p, 0, MEM_RELEASE);
}

}  // namespace vennik::big_memory
