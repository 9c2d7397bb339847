#include "export/export_buffers.h"

#include <algorithm>
#include <cstring>

namespace glyphmill {

void WriteColourBuffer(const Image24& colour, uint8_t* dst) {
  // Image rows have no padding: the image's bytes are the buffer.
  const std::size_t bytes = colour.stride() * static_cast<std::size_t>(colour.height());
  if (bytes > 0) std::memcpy(dst, colour.data(), bytes);
}

void WriteAlphaBuffer(const Image24& mask, uint8_t* dst, bool opaqueAlpha) {
  const std::size_t pixels = static_cast<std::size_t>(mask.width()) * static_cast<std::size_t>(mask.height());
  if (opaqueAlpha) {
    std::memset(dst, 255, pixels);
    return;
  }
  mask.copyFirstChannel(dst);
}

std::function<void(uint8_t* dst)> ColourBufferWriter(const Image24& colour) {
  return [&colour](uint8_t* dst) {
    std::lock_guard<std::mutex> hold(colour.lock());
    WriteColourBuffer(colour, dst);
  };
}

std::function<void(uint8_t* dst)> AlphaBufferWriter(const Image24& mask, bool opaqueAlpha) {
  return [&mask, opaqueAlpha](uint8_t* dst) {
    std::lock_guard<std::mutex> hold(mask.lock());
    WriteAlphaBuffer(mask, dst, opaqueAlpha);
  };
}

void WriteAlphaBuffer(const TexturePage& page, uint8_t* dst, bool opaqueAlpha) {
  const std::size_t pixels =
      static_cast<std::size_t>(page.colour.width()) * static_cast<std::size_t>(page.colour.height());
  if (opaqueAlpha) {
    std::memset(dst, 255, pixels);
    return;
  }
  // A kept mask always has the page's size; were it shorter, the rest reads as transparent.
  const std::size_t kept = std::min(pixels, page.mask.size());
  if (kept > 0) std::memcpy(dst, page.mask.data(), kept);
  if (kept < pixels) std::memset(dst + kept, 0, pixels - kept);
}

void BuildExportBuffers(const Image24& colour, const Image24& mask, ExportBuffers& out, bool opaqueAlpha) {
  {
    std::lock_guard<std::mutex> hold(colour.lock());
    out.rgb.assign(colour.stride() * static_cast<std::size_t>(colour.height()), 0);
    WriteColourBuffer(colour, out.rgb.data());
    out.rgbWidth = colour.width();
    out.rgbHeight = colour.height();
  }
  {
    std::lock_guard<std::mutex> hold(mask.lock());
    out.alpha.assign(static_cast<std::size_t>(mask.width()) * static_cast<std::size_t>(mask.height()), 0);
    WriteAlphaBuffer(mask, out.alpha.data(), opaqueAlpha);
    out.alphaWidth = mask.width();
    out.alphaHeight = mask.height();
  }
}

uint32_t ExportCharCount(const std::vector<PlacedCharacter>& chars, uint32_t selectedCount) {
  return static_cast<uint32_t>(std::min<std::size_t>(selectedCount, chars.size()));
}

namespace {

TExportCharInfo CharInfoOf(const PlacedCharacter& c) {
  TExportCharInfo t{};
  t.Width = c.cellWidth;
  t.Height = c.cellHeight;
  t.X = c.cellX;
  t.Y = c.cellY;
  t.PreAdvance = c.advanceBefore;
  t.PostAdvance = c.advanceAfter;
  t.Code = c.codeUnit;
  return t;
}

}  // namespace

std::vector<uint32_t> FirstPageRecords(const std::vector<PlacedCharacter>& chars, uint32_t count) {
  count = ExportCharCount(chars, count);
  std::vector<uint32_t> records;
  records.reserve(count);
  // Records that found room on no page keep page 0, as they stay in a one-page table.
  for (uint32_t i = 0; i < count; ++i)
    if (chars[i].page == 0) records.push_back(i);
  return records;
}

std::vector<TExportCharInfo> BuildCharTable(const std::vector<PlacedCharacter>& chars, uint32_t count) {
  const std::vector<uint32_t> records = FirstPageRecords(chars, count);
  std::vector<TExportCharInfo> table;
  table.reserve(records.size());
  for (uint32_t i : records) table.push_back(CharInfoOf(chars[i]));
  return table;
}

std::vector<TExportCharInfo> BuildAllPagesCharTable(const std::vector<PlacedCharacter>& chars, uint32_t count) {
  count = ExportCharCount(chars, count);
  std::vector<TExportCharInfo> table;
  table.reserve(count);
  for (uint32_t i = 0; i < count; ++i) table.push_back(CharInfoOf(chars[i]));
  return table;
}

}  // namespace glyphmill
