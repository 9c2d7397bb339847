// ZeroedAllocator: storage for tables of plain records that start with every byte 0, taken from
// the system already zeroed (calloc), so that a table's pages are not touched until an entry is
// written.
//
// The per-code-unit tables of a measurement hold 65,536 entries each, of which a job writes a few
// hundred: zeroing them all would touch some two megabytes, a page fault for every 4 KiB, on
// every start of the program. Large calloc blocks come from fresh mappings, which the kernel
// hands out zeroed, so the pages of entries nobody writes are never faulted in. Value
// initialisation (a vector's `vector(n)`, `resize(n)`) is then nothing to do: the value of such a
// record is all zero bytes. Constructing with a value (`assign(n, v)`, `push_back`) writes as
// usual.
#pragma once

#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

namespace glyphmill {

template <class T>
struct ZeroedAllocator {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                "the entries are plain records whose value is all zero bytes");
  using value_type = T;
  ZeroedAllocator() = default;
  template <class U>
  ZeroedAllocator(const ZeroedAllocator<U>&) noexcept {}  // NOLINT: rebinding is implicit

  T* allocate(std::size_t n) {
    void* p = std::calloc(n == 0 ? 1 : n, sizeof(T));
    if (p == nullptr) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t) noexcept { std::free(p); }

  // The memory already holds the value-initialised record.
  template <class U>
  void construct(U*) noexcept {}
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  template <class U>
  bool operator==(const ZeroedAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace glyphmill
