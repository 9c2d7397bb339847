// The optional font information a Glyphmill host offers beyond the fixed records
// (glyphmill/host.h), copied into a plain record the exporters can keep while they write.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "glyphmill/host.h"

namespace glyphmill::plugins {

struct KerningPair {
  uint32_t first = 0;
  uint32_t second = 0;
  int32_t amount = 0;
  bool operator==(const KerningPair&) const = default;
};

// Where one character's pen and text line sit in its cell (GlyphmillCharGeometry).
struct CharGeometry {
  int32_t drawOffsetX = 0;
  int32_t drawOffsetY = 0;
  bool operator==(const CharGeometry&) const = default;
};

struct HostFontInfo {
  std::string faceName;
  int32_t pointSize = 0;
  int32_t pixelSize = 0;
  // Version 2: the font's own line height (ascent + descent). Version 1: the cell height.
  int32_t lineHeight = 0;
  // Version 1 only: cell top -> baseline. Version 2 leaves it at `ascent`.
  int32_t base = 0;
  int32_t ascent = 0;
  int32_t descent = 0;
  int32_t outlineWidth = 0;
  bool bold = false;
  bool italic = false;
  uint8_t antialiasMode = 0;  // 0 smooth, 1 cleartype, 2 none, 3 distance field, 4 MSDF, 5 MTSDF
  // Distance-field fonts: the field's range in pixels (2 x spread), from version 2 of the host's
  // record; 0 for a coverage mask or a host without version 2.
  uint32_t distanceRange = 0;
  // Version 2: the colour buffer holds colour premultiplied by alpha (page pixels 2).
  bool premultipliedAlpha = false;
  // One flag per record of the export call; empty when the host's list does not match the call's
  // CharCount, in which case every record counts as placed.
  std::vector<bool> placed;
  // Version 2: one entry per record of the export call. Empty when the host answered version 1
  // only (or its list does not match CharCount): the cells' own geometry is then unknown.
  std::vector<CharGeometry> geometry;
  std::vector<KerningPair> kernings;  // nonzero amounts only

  bool isPlaced(std::size_t index) const { return placed.empty() || placed[index]; }
  // The field type engines read for a distance-field font: "msdf", "mtsdf" or "sdf".
  const char* fieldType() const { return antialiasMode == 4 ? "msdf" : antialiasMode == 5 ? "mtsdf" : "sdf"; }
  bool hasGeometry() const { return !geometry.empty(); }
};

// Checks and copies a host record. Returns nothing when the record is null or shorter than
// its version of the extension; `charCount` is the CharCount of the export call being served.
std::optional<HostFontInfo> CopyHostFontInfo(const GlyphmillFontInfoV1* record, uint32_t charCount);
std::optional<HostFontInfo> CopyHostFontInfo(const GlyphmillFontInfoV2* record, uint32_t charCount);

// One texture page of the host's pages service; a buffer the export call does not pass is null.
struct HostPage {
  uint32_t width = 0;
  uint32_t height = 0;
  const uint8_t* rgb = nullptr;
  const uint8_t* alpha = nullptr;
};

// Every page of the export and the whole character table (glyphmill.pages/1): one entry of
// `charPages`, `placed` and `geometry` per record of `chars`.
struct HostPages {
  std::vector<HostPage> pages;
  std::vector<TExportCharInfo> chars;
  std::vector<uint32_t> charPages;
  std::vector<bool> placed;
  std::vector<CharGeometry> geometry;
};

// Checks and copies a pages record: nothing when it is null, shorter than version 1, holds no
// page, or names a page it does not have.
std::optional<HostPages> CopyHostPages(const GlyphmillPagesV1* record);

// [main-thread] The host's pages service; nothing from a host without it. Call only from inside an
// export entry point.
std::optional<HostPages> QueryHostPages();

// The font information read against the pages' whole table instead of the export record's: its
// placed flags and (when the host gave geometry at all) its geometry become the pages'.
void UsePagesTable(HostFontInfo& info, const HostPages& pages);

// [main-thread] Looks up the host query in the running process and asks it for the font
// information: version 2 first, version 1 when the host does not offer version 2. Call only from
// inside an export entry point. Nothing when the host offers neither.
std::optional<HostFontInfo> QueryHostFontInfo(uint32_t charCount);

}  // namespace glyphmill::plugins
