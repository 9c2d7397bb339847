// LargeBufferAllocator: the allocator of the image-sized byte buffers (textures, masks, the
// buffers handed to exporters), which are tens of megabytes each for a 4096x4096 texture.
//
// Such a buffer is touched once per 4 KiB page as it is first zeroed, and each first touch is a
// page fault: for one 4096x4096 image that is twelve thousand faults, a good part of a large job's
// time. Buffers of at least kHugePageBytes are therefore placed on 2 MiB boundaries and offered to
// the kernel for transparent huge pages (madvise MADV_HUGEPAGE), so that one fault maps 2 MiB.
// Where the kernel has huge pages off, the hint is ignored and the buffer works as any other.
// Smaller buffers come from operator new as usual.
//
// ZeroedBuffer is such a buffer for an image's pixels, handed out already zero: a large one as
// fresh pages from the kernel (zero until first written, so pages no glyph reaches are never
// touched), a small one from calloc.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Zero-filled bytes owned by one object; moving hands them over, copying copies them.
class ZeroedBuffer {
 public:
  ZeroedBuffer() = default;
  ~ZeroedBuffer() { release(); }
  ZeroedBuffer(const ZeroedBuffer& other);
  ZeroedBuffer& operator=(const ZeroedBuffer& other);
  ZeroedBuffer(ZeroedBuffer&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
  }
  ZeroedBuffer& operator=(ZeroedBuffer&& other) noexcept;

  // `bytes` zero bytes in place of the old ones (the old memory is given back first); throws
  // std::bad_alloc when there is no memory, leaving the buffer empty.
  void reset(std::size_t bytes);
  void clear() noexcept { release(); }

  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

 private:
  void release() noexcept;
  uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace glyphmill
