#include "host/shared_region.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace glyphmill {

namespace {
std::size_t PageRounded(std::size_t bytes) {
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return (bytes + page - 1) / page * page;
}
}  // namespace

SharedRegion::~SharedRegion() { release(); }

SharedRegion::SharedRegion(SharedRegion&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)) {}

SharedRegion& SharedRegion::operator=(SharedRegion&& other) noexcept {
  if (this != &other) {
    release();
    fd_ = std::exchange(other.fd_, -1);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

void SharedRegion::release() {
  if (data_ != nullptr) ::munmap(data_, size_);
  if (fd_ >= 0) ::close(fd_);
  data_ = nullptr;
  size_ = 0;
  fd_ = -1;
}

bool SharedRegion::create(std::string* error) {
  release();
  fd_ = ::memfd_create("glyphmill-export", MFD_CLOEXEC);
  if (fd_ < 0) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  return true;
}

bool SharedRegion::remap(std::size_t bytes) {
  void* mapped = data_ == nullptr ? ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0)
                                  : ::mremap(data_, size_, bytes, MREMAP_MAYMOVE);
  if (mapped == MAP_FAILED) return false;
  data_ = static_cast<uint8_t*>(mapped);
  size_ = bytes;
  return true;
}

bool SharedRegion::reserve(std::size_t bytes) {
  if (fd_ < 0) return false;
  if (bytes <= size_) return true;
  // Grows by half again at least, so that a run of slightly larger exports does not remap each time.
  const std::size_t wanted = PageRounded(std::max(bytes, size_ + size_ / 2));
  if (::ftruncate(fd_, static_cast<off_t>(wanted)) != 0) return false;
  return remap(wanted);
}

void SharedRegion::prefault(std::size_t offset, std::size_t bytes) const {
#ifdef MADV_POPULATE_WRITE
  // A large texture's buffers are tens of thousands of pages. The advice takes whole pages from a
  // page boundary; older kernels refuse it, and the pages are then mapped as they are touched.
  if (data_ == nullptr || offset >= size_ || bytes == 0) return;
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::size_t first = offset / page * page;
  const std::size_t end = std::min(PageRounded(offset + std::min(bytes, size_ - offset)), size_);
  ::madvise(data_ + first, end - first, MADV_POPULATE_WRITE);
#else
  (void)offset;
  (void)bytes;
#endif
}

void SharedRegion::discard() {
  if (fd_ < 0 || size_ == 0) return;
  // A hole over the whole file: its pages go, for every process that maps it.
  ::fallocate(fd_, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size_));
}

bool SharedRegion::mapAtLeast(std::size_t bytes) {
  if (fd_ < 0) return false;
  if (bytes <= size_) return true;
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || static_cast<std::size_t>(st.st_size) < bytes) return false;
  return remap(static_cast<std::size_t>(st.st_size));
}

}  // namespace glyphmill
