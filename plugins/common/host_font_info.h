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

struct HostFontInfo {
  std::string faceName;
  int32_t pointSize = 0;
  int32_t pixelSize = 0;
  int32_t lineHeight = 0;
  int32_t base = 0;
  int32_t ascent = 0;
  int32_t descent = 0;
  int32_t outlineWidth = 0;
  bool bold = false;
  bool italic = false;
  uint8_t antialiasMode = 0;  // 0 smooth, 1 cleartype, 2 none, 3 distance field
  // Distance-field fonts: the field's range in pixels (2 x spread), from version 2 of the host's
  // record; 0 for a coverage mask or a host without version 2.
  uint32_t distanceRange = 0;
  // One flag per record of the export call; empty when the host's list does not match the call's
  // CharCount, in which case every record counts as placed.
  std::vector<bool> placed;
  std::vector<KerningPair> kernings;  // nonzero amounts only

  bool isPlaced(std::size_t index) const { return placed.empty() || placed[index]; }
};

// Checks and copies a host record. Returns nothing when the record is null or shorter than
// version 1 of the extension; `charCount` is the CharCount of the export call being served.
std::optional<HostFontInfo> CopyHostFontInfo(const GlyphmillFontInfoV1* record, uint32_t charCount);

// [main-thread] Looks up the host query in the running process and asks it for the font
// information. Call only from inside an export entry point. Nothing when the host offers none.
std::optional<HostFontInfo> QueryHostFontInfo(uint32_t charCount);

}  // namespace glyphmill::plugins
