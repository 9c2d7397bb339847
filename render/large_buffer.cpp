#include "render/large_buffer.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>

namespace glyphmill {
namespace {

// Whole huge pages, so that the last one is not shared with an unrelated allocation.
std::size_t HugeRounded(std::size_t bytes) { return (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes; }

}  // namespace

void* AllocateLargeBuffer(std::size_t bytes) {
  if (bytes < kHugePageBytes) return ::operator new(bytes);
  const std::size_t rounded = HugeRounded(bytes);
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

namespace {

// Whole huge pages of fresh anonymous memory on a 2 MiB boundary: the kernel gives them zeroed
// on first touch.
uint8_t* MapHugeAligned(std::size_t rounded) {
  const std::size_t span = rounded + kHugePageBytes;
  void* p = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  const auto at = reinterpret_cast<std::uintptr_t>(p);
  const std::uintptr_t aligned = (at + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
  if (aligned > at) ::munmap(p, aligned - at);
  const std::size_t tail = at + span - (aligned + rounded);
  if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + rounded), tail);
  auto* out = reinterpret_cast<uint8_t*>(aligned);
  ::madvise(out, rounded, MADV_HUGEPAGE);  // a hint, as for LargeBufferAllocator
  return out;
}

}  // namespace

ZeroedBuffer::ZeroedBuffer(const ZeroedBuffer& other) : ZeroedBuffer() { *this = other; }

ZeroedBuffer& ZeroedBuffer::operator=(const ZeroedBuffer& other) {
  if (this == &other) return *this;
  if (size_ != other.size_) reset(other.size_);  // the same size is copied into the same memory
  if (size_ > 0) std::memcpy(data_, other.data_, size_);
  return *this;
}

ZeroedBuffer& ZeroedBuffer::operator=(ZeroedBuffer&& other) noexcept {
  if (this == &other) return *this;
  release();
  data_ = other.data_;
  size_ = other.size_;
  other.data_ = nullptr;
  other.size_ = 0;
  return *this;
}

void ZeroedBuffer::reset(std::size_t bytes) {
  release();
  if (bytes == 0) return;
  if (bytes >= kHugePageBytes) {
    data_ = MapHugeAligned(HugeRounded(bytes));
  } else {
    // calloc hands fresh pages on without writing them, and clears reused memory itself.
    data_ = static_cast<uint8_t*>(std::calloc(bytes, 1));
    if (data_ == nullptr) throw std::bad_alloc();
  }
  size_ = bytes;
}

void ZeroedBuffer::release() noexcept {
  if (data_ == nullptr) return;
  if (size_ >= kHugePageBytes)
    ::munmap(data_, HugeRounded(size_));
  else
    std::free(data_);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace glyphmill
