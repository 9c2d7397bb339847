// The colour and alpha byte buffers handed to plug-ins, and the character table.
//
// Colour buffer: width * height * 3 bytes of the colour image, top row first, pixels left to
// right, blue, green, red per pixel, no gap between rows. Alpha buffer: width * height bytes, the
// first (blue) byte of each mask pixel in the same order. Each buffer has the size of the image it
// was built from.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "glyphmill/plugin.h"
#include "render/image24.h"
#include "render/large_buffer.h"
#include "render/placed_character.h"
#include "render/texture_page.h"

namespace glyphmill {

struct ExportBuffers {
  std::vector<uint8_t, LargeBufferAllocator<uint8_t>> rgb;
  int32_t rgbWidth = 0;
  int32_t rgbHeight = 0;
  std::vector<uint8_t, LargeBufferAllocator<uint8_t>> alpha;
  int32_t alphaWidth = 0;
  int32_t alphaHeight = 0;

  // True when both buffers hold a width x height texture.
  bool hasSize(int32_t width, int32_t height) const {
    return rgbWidth == width && rgbHeight == height && alphaWidth == width && alphaHeight == height;
  }
};

// Rebuilds both buffers from the colour image and the mask; with `opaqueAlpha` (an MSDF page,
// whose mask holds only the median the window shows) every alpha byte is 255 instead.
void BuildExportBuffers(const Image24& colour, const Image24& mask, ExportBuffers& out, bool opaqueAlpha = false);

// The two buffers' layouts written straight to `dst`: the colour image's width * height * 3 bytes,
// or the mask's width * height alpha bytes (the first byte of each pixel; 255 with `opaqueAlpha`,
// as BuildExportBuffers). The caller holds the image's lock.
void WriteColourBuffer(const Image24& colour, uint8_t* dst);
void WriteAlphaBuffer(const Image24& mask, uint8_t* dst, bool opaqueAlpha = false);
// The same from a later page's kept mask (width * height bytes, the buffer's own layout).
void WriteAlphaBuffer(const TexturePage& page, uint8_t* dst, bool opaqueAlpha = false);
// WriteColourBuffer and WriteAlphaBuffer as writers that take the image's lock themselves, for
// buffers written straight into shared memory when a run stages them.
std::function<void(uint8_t* dst)> ColourBufferWriter(const Image24& colour);
std::function<void(uint8_t* dst)> AlphaBufferWriter(const Image24& mask, bool opaqueAlpha);

// The records of the first `count` (held to the table's length) that the fixed records carry: the
// ones not placed on a later page, in table order. With one page: every record.
std::vector<uint32_t> FirstPageRecords(const std::vector<PlacedCharacter>& chars, uint32_t count);

// The character table of the fixed records: FirstPageRecords, in table order.
std::vector<TExportCharInfo> BuildCharTable(const std::vector<PlacedCharacter>& chars, uint32_t count);

// The character table of every page: the first `count` records (held to the table's length).
std::vector<TExportCharInfo> BuildAllPagesCharTable(const std::vector<PlacedCharacter>& chars, uint32_t count);

// The number of table records an export passes: selectedCount, held to the table's length.
uint32_t ExportCharCount(const std::vector<PlacedCharacter>& chars, uint32_t selectedCount);

}  // namespace glyphmill
