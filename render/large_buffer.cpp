#include "render/large_buffer.h"

#include <sys/mman.h>

#include <cstdlib>

namespace glyphmill {

void* AllocateLargeBuffer(std::size_t bytes) {
  if (bytes < kHugePageBytes) return ::operator new(bytes);
  // Whole huge pages, so that the last one is not shared with an unrelated allocation.
  const std::size_t rounded = (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
  void* p = std::aligned_alloc(kHugePageBytes, rounded);
  if (p == nullptr) throw std::bad_alloc();
  ::madvise(p, rounded, MADV_HUGEPAGE);  // a hint: its failure changes nothing but speed
  return p;
}

void FreeLargeBuffer(void* p, std::size_t bytes) noexcept {
  if (p == nullptr) return;
  if (bytes < kHugePageBytes)
    ::operator delete(p);
  else
    std::free(p);
}

}  // namespace glyphmill
