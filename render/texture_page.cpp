#include "render/texture_page.h"

#include <mutex>

namespace glyphmill {

void KeepMask(const Image24& mask, TexturePage& page) {
  page.mask.resize(static_cast<std::size_t>(mask.width()) * static_cast<std::size_t>(mask.height()));
  page.mask.shrink_to_fit();
  mask.copyFirstChannel(page.mask.data());
}

void ExpandMask(const TexturePage& page, Image24& out) {
  const int32_t w = page.colour.width();
  const int32_t h = page.colour.height();
  out.resize(w, h);
  // Bytes that do not match the colour image's size are never read past: the image stays black.
  if (page.mask.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) return;
  const uint8_t* src = page.mask.data();
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* dst = out.row(y);
    for (int32_t x = 0; x < w; ++x, dst += Image24::kBytesPerPixel) dst[0] = dst[1] = dst[2] = *src++;
  }
}

void ReleasePage(TexturePage& page) {
  {
    std::scoped_lock lock(page.colour.lock(), page.page.lock());
    page.colour = Image24();
    page.page = Image24();
  }
  page.mask.clear();
  page.mask.shrink_to_fit();
}

}  // namespace glyphmill
