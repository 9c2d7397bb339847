#include "plugins/common/host_font_info.h"

#include <dlfcn.h>

namespace glyphmill::plugins {
namespace {

// The fields both versions share, copied the same way.
template <typename Record>
HostFontInfo CopyCommon(const Record& record, uint32_t charCount) {
  HostFontInfo info;
  if (record.face_name != nullptr) info.faceName = record.face_name;
  info.pointSize = record.point_size;
  info.pixelSize = record.pixel_size;
  info.lineHeight = record.line_height;
  info.ascent = record.ascent;
  info.descent = record.descent;
  info.outlineWidth = record.outline_width;
  info.bold = record.bold != 0;
  info.italic = record.italic != 0;
  info.antialiasMode = record.antialias_mode;
  // A placed list for a different table cannot be matched to the records: ignore it.
  if (record.placed != nullptr && record.char_count == charCount) {
    info.placed.assign(record.placed, record.placed + charCount);
  }
  if (record.kernings != nullptr) {
    for (uint32_t i = 0; i < record.kerning_count; ++i) {
      const GlyphmillKerningPair& p = record.kernings[i];
      if (p.amount != 0) info.kernings.push_back({p.first, p.second, p.amount});
    }
  }
  return info;
}

}  // namespace

std::optional<HostFontInfo> CopyHostFontInfo(const GlyphmillFontInfoV1* record, uint32_t charCount) {
  if (record == nullptr || record->struct_size < sizeof(GlyphmillFontInfoV1)) return std::nullopt;
  HostFontInfo info = CopyCommon(*record, charCount);
  info.base = record->base;
  return info;
}

std::optional<HostFontInfo> CopyHostFontInfo(const GlyphmillFontInfoV2* record, uint32_t charCount) {
  if (record == nullptr || record->struct_size < sizeof(GlyphmillFontInfoV2)) return std::nullopt;
  HostFontInfo info = CopyCommon(*record, charCount);
  info.base = record->ascent;
  info.distanceRange = record->distance_range;
  info.premultipliedAlpha = record->page_pixels == 2;
  // Offsets for a different table cannot be matched to the records either.
  if (record->geometry != nullptr && record->char_count == charCount && charCount > 0) {
    info.geometry.reserve(charCount);
    for (uint32_t i = 0; i < charCount; ++i) {
      info.geometry.push_back({record->geometry[i].draw_offset_x, record->geometry[i].draw_offset_y});
    }
  }
  return info;
}

namespace {

GlyphmillHostQueryProc HostQuery() {
  void* symbol = dlsym(RTLD_DEFAULT, GLYPHMILL_HOST_QUERY_SYMBOL);
  return symbol == nullptr ? nullptr : reinterpret_cast<GlyphmillHostQueryProc>(symbol);
}

}  // namespace

std::optional<HostPages> CopyHostPages(const GlyphmillPagesV1* record) {
  if (record == nullptr || record->struct_size < sizeof(GlyphmillPagesV1)) return std::nullopt;
  if (record->page_count == 0 || record->pages == nullptr) return std::nullopt;
  const uint32_t n = record->char_count;
  if (n > 0 && (record->chars == nullptr || record->char_pages == nullptr || record->placed == nullptr))
    return std::nullopt;
  HostPages pages;
  for (uint32_t k = 0; k < record->page_count; ++k) {
    const GlyphmillPage& p = record->pages[k];
    pages.pages.push_back({p.width, p.height, p.rgb, p.alpha});
  }
  pages.chars.assign(record->chars, record->chars + n);
  pages.charPages.assign(record->char_pages, record->char_pages + n);
  for (uint32_t page : pages.charPages)
    if (page >= record->page_count) return std::nullopt;
  pages.placed.assign(record->placed, record->placed + n);
  if (record->geometry != nullptr) {
    pages.geometry.reserve(n);
    for (uint32_t i = 0; i < n; ++i)
      pages.geometry.push_back({record->geometry[i].draw_offset_x, record->geometry[i].draw_offset_y});
  }
  return pages;
}

std::optional<HostPages> QueryHostPages() {
  const GlyphmillHostQueryProc query = HostQuery();
  if (query == nullptr) return std::nullopt;
  return CopyHostPages(static_cast<const GlyphmillPagesV1*>(query(GLYPHMILL_EXT_PAGES_V1)));
}

void UsePagesTable(HostFontInfo& info, const HostPages& pages) {
  info.placed = pages.placed;
  if (info.hasGeometry()) info.geometry = pages.geometry;
}

std::optional<HostFontInfo> QueryHostFontInfo(uint32_t charCount) {
  const GlyphmillHostQueryProc query = HostQuery();
  if (query == nullptr) return std::nullopt;
  if (auto v2 =
          CopyHostFontInfo(static_cast<const GlyphmillFontInfoV2*>(query(GLYPHMILL_EXT_FONT_INFO_V2)), charCount)) {
    return v2;
  }
  return CopyHostFontInfo(static_cast<const GlyphmillFontInfoV1*>(query(GLYPHMILL_EXT_FONT_INFO_V1)), charCount);
}

}  // namespace glyphmill::plugins
