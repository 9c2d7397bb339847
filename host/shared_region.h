// One region of shared memory (a memfd), mapped by the program and by its plug-in host.
//
// The program creates the region and grows it as an export needs room; the host maps the same
// descriptor and follows the size each request names. Growing keeps the bytes already written, so
// an offset stays valid for both sides across growth; a pointer does not. Growing only reserves
// room: memory is taken as bytes are first written, so that room reserved ahead costs nothing and
// the program can hand its own copy of a buffer back as soon as that buffer is in the region.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace glyphmill {

class SharedRegion {
 public:
  SharedRegion() = default;
  // Takes over an open memfd (the host's side); nothing is mapped yet.
  explicit SharedRegion(int fd) : fd_(fd) {}
  ~SharedRegion();
  SharedRegion(SharedRegion&& other) noexcept;
  SharedRegion& operator=(SharedRegion&& other) noexcept;
  SharedRegion(const SharedRegion&) = delete;
  SharedRegion& operator=(const SharedRegion&) = delete;

  // A new empty region (the program's side); false with the reason when it cannot be made.
  bool create(std::string* error);

  // The program's side: grows the region (and this mapping) to hold at least `bytes`.
  bool reserve(std::size_t bytes);
  // The program's side: maps the memory of `bytes` from `offset` (inside the region) in one call,
  // ahead of writing them, rather than one page fault per 4 KiB page as they are first touched.
  void prefault(std::size_t offset, std::size_t bytes) const;
  // The program's side: gives the memory of the whole region back once nothing reads it (an
  // export run is over); it reads as zeros until written again, and its size and every mapping
  // of it stay.
  void discard();
  // The host's side: maps at least the first `bytes` of the region, which the program has made
  // that large.
  bool mapAtLeast(std::size_t bytes);

  int fd() const { return fd_; }
  uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  bool remap(std::size_t bytes);
  void release();

  int fd_ = -1;
  uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace glyphmill
