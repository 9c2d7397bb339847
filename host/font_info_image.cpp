#include "host/font_info_image.h"

#include <algorithm>
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
  // The pages record; pageCount 0 when the block carries none.
  uint32_t pageCount;
  uint32_t pagesCharCount;
  uint64_t pagesOffset;          // pageCount PageEntry
  uint64_t pagesCharsOffset;     // pagesCharCount TExportCharInfo
  uint64_t charPagesOffset;      // pagesCharCount uint32_t
  uint64_t pagesPlacedOffset;    // pagesCharCount bytes
  uint64_t pagesGeometryOffset;  // pagesCharCount GlyphmillCharGeometry
};

// One page of the pages record; the buffer offsets are 0 for page 0 (the call's own buffers).
struct PageEntry {
  uint32_t width;
  uint32_t height;
  uint64_t rgbOffset;
  uint64_t alphaOffset;
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

// The pages record's lists, and one part per buffer of every page after the first (their offsets
// are set once the head's length is known).
void AppendPages(std::vector<uint8_t>& out, ImageHeader& h, const PagesImageSource& pages,
                 std::vector<FontInfoImage::Part>& parts) {
  const std::size_t count = pages.chars.size();
  h.pageCount = static_cast<uint32_t>(pages.pages.size());
  h.pagesCharCount = static_cast<uint32_t>(count);
  std::vector<PageEntry> entries(pages.pages.size());
  for (std::size_t k = 0; k < pages.pages.size(); ++k) {
    const PageImageSource& page = pages.pages[k];
    entries[k] = PageEntry{page.width, page.height, 0, 0};
    if (k == 0) continue;
    const uint64_t pixels = uint64_t{page.width} * page.height;
    parts.push_back({0, pixels * 3, page.writeRgb, {}});
    parts.push_back({0, pixels, page.writeAlpha, page.written});
  }
  h.pagesOffset = Append(out, entries.data(), sizeof(PageEntry) * entries.size());
  h.pagesCharsOffset = Append(out, pages.chars.data(), sizeof(TExportCharInfo) * count);
  std::vector<uint32_t> charPages(count, 0);
  std::vector<uint8_t> placed(count, 1);
  std::vector<GlyphmillCharGeometry> geometry(count, GlyphmillCharGeometry{0, 0});
  std::copy_n(pages.charPages.begin(), std::min(count, pages.charPages.size()), charPages.begin());
  std::copy_n(pages.placed.begin(), std::min(count, pages.placed.size()), placed.begin());
  std::copy_n(pages.geometry.begin(), std::min(count, pages.geometry.size()), geometry.begin());
  h.charPagesOffset = Append(out, charPages.data(), sizeof(uint32_t) * count);
  h.pagesPlacedOffset = Append(out, placed.data(), count);
  h.pagesGeometryOffset = Append(out, geometry.data(), sizeof(GlyphmillCharGeometry) * count);
}

// Writes the buffers' offsets into the page entries: two parts per page after the first.
void PatchPageOffsets(std::vector<uint8_t>& out, const ImageHeader& h, const std::vector<FontInfoImage::Part>& parts) {
  for (std::size_t k = 1; k < h.pageCount; ++k) {
    PageEntry entry;
    uint8_t* at = out.data() + h.pagesOffset + k * sizeof(PageEntry);
    std::memcpy(&entry, at, sizeof entry);
    entry.rgbOffset = parts[2 * (k - 1)].offset;
    entry.alphaOffset = parts[2 * (k - 1) + 1].offset;
    std::memcpy(at, &entry, sizeof entry);
  }
}

// The pages record of a block, checked against its size; false when it does not fit.
bool ReadPages(const uint8_t* data, std::size_t size, const ImageHeader& h, FontInfoRecords& r) {
  if (h.pageCount == 0) return true;
  const uint64_t n = h.pagesCharCount;
  if (h.pagesOffset % 8 != 0 || !Within(h.pagesOffset, uint64_t{sizeof(PageEntry)} * h.pageCount, size)) return false;
  if (!Within(h.pagesCharsOffset, uint64_t{sizeof(TExportCharInfo)} * n, size)) return false;
  if (h.charPagesOffset % 8 != 0 || !Within(h.charPagesOffset, uint64_t{sizeof(uint32_t)} * n, size)) return false;
  if (!Within(h.pagesPlacedOffset, n, size)) return false;
  if (h.pagesGeometryOffset % 8 != 0 ||
      !Within(h.pagesGeometryOffset, uint64_t{sizeof(GlyphmillCharGeometry)} * n, size))
    return false;
  r.pageList.resize(h.pageCount);
  for (uint32_t k = 0; k < h.pageCount; ++k) {
    PageEntry e;
    std::memcpy(&e, data + h.pagesOffset + k * sizeof(PageEntry), sizeof e);
    const uint64_t pixels = uint64_t{e.width} * e.height;
    GlyphmillPage& page = r.pageList[k];
    page.width = e.width;
    page.height = e.height;
    if (k > 0) {
      if (!Within(e.rgbOffset, pixels * 3, size) || !Within(e.alphaOffset, pixels, size)) return false;
      page.rgb = data + e.rgbOffset;
      page.alpha = data + e.alphaOffset;
    }
  }
  const auto* charPages = reinterpret_cast<const uint32_t*>(data + h.charPagesOffset);
  for (uint64_t i = 0; i < n; ++i)
    if (charPages[i] >= h.pageCount) return false;
  r.hasPages = true;
  r.pages.struct_size = sizeof(GlyphmillPagesV1);
  r.pages.page_count = h.pageCount;
  r.pages.char_count = h.pagesCharCount;
  r.pages.chars = n > 0 ? reinterpret_cast<const TExportCharInfo*>(data + h.pagesCharsOffset) : nullptr;
  r.pages.char_pages = n > 0 ? charPages : nullptr;
  r.pages.placed = n > 0 ? data + h.pagesPlacedOffset : nullptr;
  r.pages.geometry = n > 0 ? reinterpret_cast<const GlyphmillCharGeometry*>(data + h.pagesGeometryOffset) : nullptr;
  return true;
}

}  // namespace

FontInfoImage WriteFontInfoImageParts(const GlyphmillFontInfoV1& v1, const GlyphmillFontInfoV2& v2,
                                      const PagesImageSource* pages) {
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
  FontInfoImage image;
  if (pages != nullptr && !pages->pages.empty()) AppendPages(out, h, *pages, image.parts);
  out.resize(Aligned(out.size()));
  uint64_t end = out.size();
  for (FontInfoImage::Part& part : image.parts) {
    part.offset = end;
    end = Aligned(end + part.size);
  }
  PatchPageOffsets(out, h, image.parts);
  h.size = end;
  std::memcpy(out.data(), &h, sizeof h);
  image.head = std::move(out);
  image.size = end;
  return image;
}

std::vector<uint8_t> WriteFontInfoImage(const GlyphmillFontInfoV1& v1, const GlyphmillFontInfoV2& v2,
                                        const PagesImageSource* pages) {
  return WriteFontInfoImageParts(v1, v2, pages).bytes();
}

void FontInfoImage::writeTo(uint8_t* dst, const std::function<void(uint64_t offset, uint64_t bytes)>& prepare) const {
  // The head and each part with the alignment gap before it; the parts write their own bytes and
  // only the gaps are cleared.
  uint64_t at = 0;
  const auto stretch = [&](uint64_t end) {
    if (prepare && end > at) prepare(at, end - at);
  };
  stretch(head.size());
  if (!head.empty()) std::memcpy(dst, head.data(), head.size());
  at = head.size();
  for (const Part& part : parts) {
    stretch(part.offset + part.size);
    std::memset(dst + at, 0, part.offset - at);
    if (part.size > 0) part.write(dst + part.offset);
    if (part.written) part.written();
    at = part.offset + part.size;
  }
  stretch(size);
  std::memset(dst + at, 0, size - at);
}

std::vector<uint8_t> FontInfoImage::bytes() const {
  std::vector<uint8_t> out(size);
  if (size > 0) writeTo(out.data());
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
  if (!ReadPages(data, size, h, r)) return std::nullopt;
  r.pages.pages = r.pageList.empty() ? nullptr : r.pageList.data();
  return r;
}

void AimPagesAtCall(FontInfoRecords& records, const uint8_t* rgb, const uint8_t* alpha) {
  if (!records.hasPages) return;
  for (std::size_t k = 0; k < records.pageList.size(); ++k) {
    GlyphmillPage& page = records.pageList[k];
    if (k == 0) {
      page.rgb = rgb;
      page.alpha = alpha;
    }
    if (rgb == nullptr) page.rgb = nullptr;
    if (alpha == nullptr) page.alpha = nullptr;
  }
  records.pages.pages = records.pageList.empty() ? nullptr : records.pageList.data();
}

}  // namespace glyphmill
