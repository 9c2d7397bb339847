// Image24: a 24-bit image, rows of blue, green, red bytes, top row first, no row padding.
//
// This is the surface every render stage draws on and the form the texture and the alpha mask are
// handed on in. Rectangles follow the drawing conventions the texture layout was designed with:
// edges are (left, top, right, bottom) with the right and bottom edges excluded; a filled rectangle
// drawn without a pen covers one pixel less in width and in height. Everything is clipped to the
// image, so no drawing call can write outside it whatever the coordinates.
//
// Each image carries its own lock. Whoever draws on an image or copies it holds that lock; the image
// itself never takes it (callers decide the extent of a drawing step).
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "render/large_buffer.h"

namespace glyphmill {

// One pixel's three channels, in the image's byte order.
struct Bgr {
  uint8_t b = 0;
  uint8_t g = 0;
  uint8_t r = 0;
  bool operator==(const Bgr&) const = default;
};

// A colour reference 0x00BBGGRR (red in the low byte) as its three channels.
inline Bgr BgrFromColourRef(uint32_t colour) {
  return Bgr{static_cast<uint8_t>((colour >> 16) & 255), static_cast<uint8_t>((colour >> 8) & 255),
             static_cast<uint8_t>(colour & 255)};
}

class Image24 {
 public:
  Image24() = default;
  Image24(int32_t width, int32_t height) { resize(width, height); }
  Image24(const Image24&) = delete;
  Image24& operator=(const Image24&) = delete;
  // Moving takes the size and the pixels; `other` is left empty (0 x 0). Each image keeps its own
  // lock: the caller holds both images' locks when either may be in use elsewhere.
  Image24(Image24&& other) noexcept;
  Image24& operator=(Image24&& other) noexcept;

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  static constexpr int32_t kBytesPerPixel = 3;
  std::size_t stride() const { return static_cast<std::size_t>(width_) * kBytesPerPixel; }

  // New size; a negative side counts as 0. Every pixel is black afterwards. A new size takes fresh
  // memory, whose pages stay untouched until drawn on (large_buffer.h); the same size clears the
  // pixels in place.
  void resize(int32_t width, int32_t height);

  // Row y (0 <= y < height): width * 3 bytes, B G R per pixel.
  uint8_t* row(int32_t y) { return touched() + static_cast<std::size_t>(y) * stride(); }
  const uint8_t* row(int32_t y) const { return pixels_.data() + static_cast<std::size_t>(y) * stride(); }
  uint8_t* data() { return touched(); }
  const uint8_t* data() const { return pixels_.data(); }

  bool contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  Bgr pixel(int32_t x, int32_t y) const;  // (x, y) must lie inside
  // Each pixel's first (blue) byte, row after row, into width * height bytes at `dst`: a grey
  // image (a mask) in one byte per pixel.
  void copyFirstChannel(uint8_t* dst) const;
  void setPixel(int32_t x, int32_t y, Bgr c);  // ignored outside the image

  // Every pixel set to one colour (black costs nothing while the image is known to be black).
  void fill(uint8_t b, uint8_t g, uint8_t r);
  void fill(Bgr c) { fill(c.b, c.g, c.r); }

  // Pixels left <= x < right, top <= y < bottom set to c (clipped; nothing when empty).
  void fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, Bgr c);
  // A filled rectangle without a pen: covers left <= x < right - 1, top <= y < bottom - 1.
  void fillRectNoPen(int32_t left, int32_t top, int32_t right, int32_t bottom, Bgr c);
  // The one-pixel border of (left, top, right, bottom) with its right/bottom edges excluded: rows
  // top and bottom - 1, columns left and right - 1. Edges given in reverse order are swapped first;
  // a rectangle without width or height draws nothing.
  void frameRect(int32_t left, int32_t top, int32_t right, int32_t bottom, Bgr c);

  // Same size and pixels as `other`.
  void copyFrom(const Image24& other);
  // Bit-block copy of the w x h pixels of `src` at (srcX, srcY) to (dstX, dstY), clipped to both.
  void copyRect(const Image24& src, int32_t srcX, int32_t srcY, int32_t w, int32_t h, int32_t dstX, int32_t dstY);

  std::mutex& lock() const { return mutex_; }

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  // The pixels for writing: from here on they may be other than black.
  uint8_t* touched() {
    black_ = false;
    return pixels_.data();
  }
  ZeroedBuffer pixels_;
  // Every byte is known to be 0: the memory is fresh and no pointer for writing was handed out
  // since. (Clearing does not set it again: a pointer handed out before may still be written.)
  bool black_ = true;
  mutable std::mutex mutex_;
};

}  // namespace glyphmill
