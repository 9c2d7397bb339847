// TexturePage: a texture page beyond the first, kept compactly once it is drawn.
//
// A job that fills several pages draws each later page on working images and keeps of it only
// what the window shows and exporters receive: the colour image, the straight or premultiplied
// page when the job makes one, and the mask as one byte per pixel. Every mask a job draws has three
// equal channels (coverage, outline, drop shadow, a single-channel field, or the median or true
// distance of a multi-channel field), so its first byte is the whole mask; it is also, byte for
// byte, the alpha buffer exporters receive (an MSDF page exports 255 instead). A 4096x4096 classic
// page takes 64 MiB this way rather than 96.
//
// A job whose result only goes to an export (kJobExportOnly) keeps the straight or premultiplied
// page as `colour` and no `page`: the drawn colour, which only the window shows, is not kept.
#pragma once

#include <cstdint>
#include <vector>

#include "render/image24.h"
#include "render/large_buffer.h"

namespace glyphmill {

struct TexturePage {
  Image24 colour;  // the texture, as for page 0
  Image24 page;    // empty unless the job makes straight or premultiplied pages
  // The mask's value of every pixel, row after row: colour.width() * colour.height() bytes.
  std::vector<uint8_t, LargeBufferAllocator<uint8_t>> mask;
};

// Keeps the first channel of every pixel of `mask` (which has the colour image's size) in `page`.
void KeepMask(const Image24& mask, TexturePage& page);

// The mask of `page` as an image again, every channel the kept byte; `out` takes the page's size.
void ExpandMask(const TexturePage& page, Image24& out);

// Gives the page's memory back: every image and the mask are left empty.
void ReleasePage(TexturePage& page);

}  // namespace glyphmill
