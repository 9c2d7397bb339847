#include "host/font_info_image.h"

#include <cstring>

namespace glyphmill {

namespace {

constexpr uint32_t kImageMagic = 0x31494647;  // "GFI1"

struct ImageHeader {
  uint32_t magic;
  uint32_t reserved;
  uint64_t size;
  int32_t pointSize;
  int32_t pixelSize;
  int32_t cellLineHeight;  // version 1's line_height
  int32_t base;
  int32_t ascent;
  int32_t descent;
  int32_t outlineWidth;
  int32_t fontLineHeight;  // version 2's line_height
  uint8_t bold;
  uint8_t italic;
  uint8_t antialiasMode;
  uint8_t pagePixels;
  uint32_t charCount;
  uint32_t distanceRange;
  uint32_t kerningCount;
  uint64_t faceNameOffset;  // zero-terminated
  uint64_t faceNameSize;    // with the terminator
  uint64_t placedOffset;    // charCount bytes
  uint64_t geometryOffset;  // charCount GlyphmillCharGeometry, or 0 when none
  uint64_t kerningsOffset;  // kerningCount GlyphmillKerningPair
};

std::size_t Aligned(std::size_t n) { return (n + 7) & ~std::size_t{7}; }

// Appends `size` bytes at an 8-byte boundary and returns their offset.
uint64_t Append(std::vector<uint8_t>& out, const void* data, std::size_t size) {
  const std::size_t at = Aligned(out.size());
  out.resize(at + size);
  if (size > 0) std::memcpy(out.data() + at, data, size);
  return at;
}

bool Within(uint64_t offset, uint64_t bytes, std::size_t size) { return offset <= size && bytes <= size - offset; }

}  // namespace

std::vector<uint8_t> WriteFontInfoImage(const GlyphmillFontInfoV1& v1, const GlyphmillFontInfoV2& v2) {
  ImageHeader h{};
  h.magic = kImageMagic;
  h.pointSize = v1.point_size;
  h.pixelSize = v1.pixel_size;
  h.cellLineHeight = v1.line_height;
  h.base = v1.base;
  h.ascent = v1.ascent;
  h.descent = v1.descent;
  h.outlineWidth = v1.outline_width;
  h.fontLineHeight = v2.line_height;
  h.bold = v1.bold;
  h.italic = v1.italic;
  h.antialiasMode = v1.antialias_mode;
  h.pagePixels = v2.page_pixels;
  h.charCount = v1.char_count;
  h.distanceRange = v2.distance_range;
  h.kerningCount = v1.kernings ? v1.kerning_count : 0;

  std::vector<uint8_t> out(sizeof h);
  const char* face = v1.face_name ? v1.face_name : "";
  h.faceNameSize = std::strlen(face) + 1;
  h.faceNameOffset = Append(out, face, h.faceNameSize);
  if (v1.placed != nullptr) {
    h.placedOffset = Append(out, v1.placed, h.charCount);
  } else {
    h.placedOffset = Aligned(out.size());
    out.resize(h.placedOffset + h.charCount, 0);
  }
  if (v2.geometry != nullptr && v2.char_count == h.charCount)
    h.geometryOffset = Append(out, v2.geometry, sizeof(GlyphmillCharGeometry) * h.charCount);
  h.kerningsOffset = Append(out, v1.kernings, sizeof(GlyphmillKerningPair) * h.kerningCount);
  out.resize(Aligned(out.size()));
  h.size = out.size();
  std::memcpy(out.data(), &h, sizeof h);
  return out;
}

std::optional<FontInfoRecords> ReadFontInfoImage(const uint8_t* data, std::size_t size) {
  if (data == nullptr || size < sizeof(ImageHeader) || reinterpret_cast<uintptr_t>(data) % 8 != 0) return std::nullopt;
  ImageHeader h;
  std::memcpy(&h, data, sizeof h);
  if (h.magic != kImageMagic || h.size > size) return std::nullopt;
  if (!Within(h.faceNameOffset, h.faceNameSize, size) || h.faceNameSize == 0 ||
      data[h.faceNameOffset + h.faceNameSize - 1] != 0)
    return std::nullopt;
  if (!Within(h.placedOffset, h.charCount, size)) return std::nullopt;
  if (h.geometryOffset != 0 && (h.geometryOffset % 8 != 0 ||
                                !Within(h.geometryOffset, uint64_t{sizeof(GlyphmillCharGeometry)} * h.charCount, size)))
    return std::nullopt;
  if (h.kerningsOffset % 8 != 0 ||
      !Within(h.kerningsOffset, uint64_t{sizeof(GlyphmillKerningPair)} * h.kerningCount, size))
    return std::nullopt;

  const char* face = reinterpret_cast<const char*>(data + h.faceNameOffset);
  const uint8_t* placed = h.charCount > 0 ? data + h.placedOffset : nullptr;
  const auto* geometry = h.geometryOffset != 0 && h.charCount > 0
                             ? reinterpret_cast<const GlyphmillCharGeometry*>(data + h.geometryOffset)
                             : nullptr;
  const auto* kernings =
      h.kerningCount > 0 ? reinterpret_cast<const GlyphmillKerningPair*>(data + h.kerningsOffset) : nullptr;

  FontInfoRecords r;
  GlyphmillFontInfoV1& a = r.v1;
  a.struct_size = sizeof(GlyphmillFontInfoV1);
  a.point_size = h.pointSize;
  a.pixel_size = h.pixelSize;
  a.line_height = h.cellLineHeight;
  a.base = h.base;
  a.ascent = h.ascent;
  a.descent = h.descent;
  a.outline_width = h.outlineWidth;
  a.bold = h.bold;
  a.italic = h.italic;
  a.antialias_mode = h.antialiasMode;
  a.char_count = h.charCount;
  a.face_name = face;
  a.placed = placed;
  a.kerning_count = h.kerningCount;
  a.kernings = kernings;

  GlyphmillFontInfoV2& b = r.v2;
  b.struct_size = sizeof(GlyphmillFontInfoV2);
  b.point_size = h.pointSize;
  b.pixel_size = h.pixelSize;
  b.line_height = h.fontLineHeight;
  b.ascent = h.ascent;
  b.descent = h.descent;
  b.outline_width = h.outlineWidth;
  b.bold = h.bold;
  b.italic = h.italic;
  b.antialias_mode = h.antialiasMode;
  b.page_pixels = h.pagePixels;
  b.char_count = h.charCount;
  b.distance_range = h.distanceRange;
  b.face_name = face;
  b.placed = placed;
  b.geometry = geometry;
  b.kerning_count = h.kerningCount;
  b.kernings = kernings;
  return r;
}

}  // namespace glyphmill
