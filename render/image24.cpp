#include "render/image24.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace glyphmill {

Image24::Image24(Image24&& other) noexcept
    : width_(other.width_), height_(other.height_), pixels_(std::move(other.pixels_)), black_(other.black_) {
  other.width_ = other.height_ = 0;
  other.pixels_.clear();
  other.black_ = true;
}

Image24& Image24::operator=(Image24&& other) noexcept {
  if (this == &other) return *this;
  width_ = other.width_;
  height_ = other.height_;
  pixels_ = std::move(other.pixels_);
  black_ = other.black_;
  other.width_ = other.height_ = 0;
  other.pixels_.clear();
  other.black_ = true;
  return *this;
}

void Image24::resize(int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  const std::size_t bytes = static_cast<std::size_t>(width) * height * kBytesPerPixel;
  if (bytes != pixels_.size()) {
    width_ = height_ = 0;  // a failed allocation leaves an empty image
    black_ = true;
    pixels_.reset(bytes);
  }
  width_ = width;
  height_ = height;
  fill(0, 0, 0);  // nothing to do on fresh memory
}

void Image24::copyFirstChannel(uint8_t* dst) const {
  const std::size_t pixels = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
  const uint8_t* src = pixels_.data();
  for (std::size_t i = 0; i < pixels; ++i, src += kBytesPerPixel) dst[i] = *src;
}

Bgr Image24::pixel(int32_t x, int32_t y) const {
  const uint8_t* p = row(y) + static_cast<std::size_t>(x) * 3;
  return Bgr{p[0], p[1], p[2]};
}

void Image24::setPixel(int32_t x, int32_t y, Bgr c) {
  if (!contains(x, y)) return;
  uint8_t* p = row(y) + static_cast<std::size_t>(x) * 3;
  p[0] = c.b;
  p[1] = c.g;
  p[2] = c.r;
}

void Image24::fill(uint8_t b, uint8_t g, uint8_t r) {
  if (pixels_.empty()) return;  // an empty buffer's data() is null, which memset must not get
  if (b == 0 && g == 0 && r == 0 && black_) return;
  if (b == g && g == r) {
    std::memset(touched(), b, pixels_.size());
    return;
  }
  fillRect(0, 0, width_, height_, Bgr{b, g, r});
}

void Image24::fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, Bgr c) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  if (left >= right || top >= bottom) return;
  for (int32_t y = top; y < bottom; ++y) {
    uint8_t* p = row(y) + static_cast<std::size_t>(left) * 3;
    for (int32_t x = left; x < right; ++x, p += 3) {
      p[0] = c.b;
      p[1] = c.g;
      p[2] = c.r;
    }
  }
}

void Image24::fillRectNoPen(int32_t left, int32_t top, int32_t right, int32_t bottom, Bgr c) {
  // Computed in 64 bits: right - 1 of the smallest int must not wrap.
  auto less1 = [](int32_t v) { return static_cast<int32_t>(std::max<int64_t>(int64_t{v} - 1, INT32_MIN)); };
  fillRect(left, top, less1(right), less1(bottom), c);
}

void Image24::frameRect(int32_t left, int32_t top, int32_t right, int32_t bottom, Bgr c) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (left == right || top == bottom) return;
  fillRect(left, top, right, top + 1, c);        // top edge
  fillRect(left, bottom - 1, right, bottom, c);  // bottom edge
  fillRect(left, top, left + 1, bottom, c);      // left edge
  fillRect(right - 1, top, right, bottom, c);    // right edge
}

void Image24::copyFrom(const Image24& other) {
  if (&other == this) return;
  width_ = other.width_;
  height_ = other.height_;
  pixels_ = other.pixels_;
  black_ = false;
}

void Image24::copyRect(const Image24& src, int32_t srcX, int32_t srcY, int32_t w, int32_t h, int32_t dstX,
                       int32_t dstY) {
  // Clip the block against the source, then against the destination, moving both origins together.
  int64_t sx = srcX, sy = srcY, dx = dstX, dy = dstY, cw = w, ch = h;
  auto clipLow = [](int64_t& a, int64_t& b, int64_t& size) {
    int64_t cut = std::max<int64_t>({0, -a, -b});
    a += cut;
    b += cut;
    size -= cut;
  };
  clipLow(sx, dx, cw);
  clipLow(sy, dy, ch);
  cw = std::min({cw, int64_t{src.width_} - sx, int64_t{width_} - dx});
  ch = std::min({ch, int64_t{src.height_} - sy, int64_t{height_} - dy});
  if (cw <= 0 || ch <= 0) return;
  for (int64_t r = 0; r < ch; ++r) {
    const uint8_t* from = src.row(static_cast<int32_t>(sy + r)) + sx * 3;
    uint8_t* to = row(static_cast<int32_t>(dy + r)) + dx * 3;
    std::memmove(to, from, static_cast<std::size_t>(cw) * 3);
  }
}

}  // namespace glyphmill
