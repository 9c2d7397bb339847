#include "export/export_buffers.h"

#include <algorithm>
#include <cstring>

namespace glyphmill {

void BuildExportBuffers(const Image24& colour, const Image24& mask, ExportBuffers& out, bool opaqueAlpha) {
  {
    std::lock_guard<std::mutex> hold(colour.lock());
    const int32_t w = colour.width();
    const int32_t h = colour.height();
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
    out.rgb.assign(rowBytes * static_cast<std::size_t>(h), 0);
    for (int32_t y = 0; y < h; ++y) std::memcpy(out.rgb.data() + rowBytes * y, colour.row(y), rowBytes);
    out.rgbWidth = w;
    out.rgbHeight = h;
  }
  {
    std::lock_guard<std::mutex> hold(mask.lock());
    const int32_t w = mask.width();
    const int32_t h = mask.height();
    out.alpha.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    uint8_t* dst = out.alpha.data();
    for (int32_t y = 0; y < h; ++y) {
      const uint8_t* src = mask.row(y);
      for (int32_t x = 0; x < w; ++x) *dst++ = opaqueAlpha ? 255 : src[static_cast<std::size_t>(x) * 3];
    }
    out.alphaWidth = w;
    out.alphaHeight = h;
  }
}

uint32_t ExportCharCount(const std::vector<PlacedCharacter>& chars, uint32_t selectedCount) {
  return static_cast<uint32_t>(std::min<std::size_t>(selectedCount, chars.size()));
}

std::vector<TExportCharInfo> BuildCharTable(const std::vector<PlacedCharacter>& chars, uint32_t count) {
  count = ExportCharCount(chars, count);
  std::vector<TExportCharInfo> table(count);
  for (uint32_t i = 0; i < count; ++i) {
    const PlacedCharacter& c = chars[i];
    TExportCharInfo& t = table[i];
    t.Width = c.cellWidth;
    t.Height = c.cellHeight;
    t.X = c.cellX;
    t.Y = c.cellY;
    t.PreAdvance = c.advanceBefore;
    t.PostAdvance = c.advanceAfter;
    t.Code = c.codeUnit;
  }
  return table;
}

}  // namespace glyphmill
