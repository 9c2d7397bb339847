// LargeBufferAllocator: the allocator of the image-sized byte buffers (textures, masks, the
// buffers handed to exporters), which are tens of megabytes each for a 4096x4096 texture.
//
// Such a buffer is touched once per 4 KiB page as it is first zeroed, and each first touch is a
// page fault: for one 4096x4096 image that is twelve thousand faults, a good part of a large job's
// time. Buffers of at least kHugePageBytes are therefore placed on 2 MiB boundaries and offered to
// the kernel for transparent huge pages (madvise MADV_HUGEPAGE), so that one fault maps 2 MiB.
// Where the kernel has huge pages off, the hint is ignored and the buffer works as any other.
// Smaller buffers come from operator new as usual.
#pragma once

#include <cstddef>
#include <new>

namespace glyphmill {

inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

// Raw storage for LargeBufferAllocator; throws std::bad_alloc when there is none.
void* AllocateLargeBuffer(std::size_t bytes);
void FreeLargeBuffer(void* p, std::size_t bytes) noexcept;

template <class T>
struct LargeBufferAllocator {
  using value_type = T;
  LargeBufferAllocator() = default;
  template <class U>
  LargeBufferAllocator(const LargeBufferAllocator<U>&) noexcept {}  // NOLINT: rebinding is implicit
  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(AllocateLargeBuffer(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept { FreeLargeBuffer(p, n * sizeof(T)); }
  template <class U>
  bool operator==(const LargeBufferAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace glyphmill
