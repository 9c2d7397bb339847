// BmFontDescription: everything an AngelCode BMFont descriptor states, in the descriptor's own
// terms, built once from the export records; the text, XML and binary writers only format it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "glyphmill/plugin.h"
#include "plugins/common/host_font_info.h"

namespace glyphmill::plugins {

// Channel contents in BMFont's numbering.
inline constexpr int kChannelGlyph = 0;
inline constexpr int kChannelGlyphAndOutline = 2;
inline constexpr int kAllChannels = 15;  // chnl of a character drawn into every channel
inline constexpr uint32_t kSpaceCode = 32;

struct BmFontInfo {
  std::string face;  // UTF-8, as the host named it; "" without the host interface
  int32_t size = 0;  // em size in pixels
  bool bold = false;
  bool italic = false;
  std::string charset;  // always "" : the ids are Unicode
  bool unicode = true;
  int32_t stretchH = 100;
  bool smooth = true;
  int32_t aa = 1;
  std::array<int32_t, 4> padding{};  // up, right, down, left
  std::array<int32_t, 2> spacing{};  // horizontal, vertical
  int32_t outline = 0;
};

struct BmFontCommon {
  int32_t lineHeight = 0;
  int32_t base = 0;
  int32_t scaleW = 0;
  int32_t scaleH = 0;
  int32_t pages = 1;
  bool packed = false;
  int32_t alphaChnl = kChannelGlyph;
  int32_t redChnl = kChannelGlyph;
  int32_t greenChnl = kChannelGlyph;
  int32_t blueChnl = kChannelGlyph;
};

struct BmFontChar {
  uint32_t id = 0;
  int32_t x = 0;
  int32_t y = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  int32_t xoffset = 0;
  int32_t yoffset = 0;
  int32_t xadvance = 0;
  int32_t page = 0;
  int32_t chnl = kAllChannels;
};

struct BmFontDescription {
  BmFontInfo info;
  BmFontCommon common;
  std::vector<std::string> pageFiles;  // one per page, page 0 first, relative to the descriptor
  std::vector<BmFontChar> chars;       // ascending id, each id once
  std::vector<KerningPair> kernings;   // ascending (first, second), both ids among `chars`
  uint32_t distanceRange = 0;          // a signed distance field of this range (2 x spread); 0: coverage
  std::string fieldType = "sdf";       // its kind: "sdf", "msdf" or "mtsdf"
  bool premultipliedAlpha = false;     // the page's colour is premultiplied by its alpha
};

// Builds the description of one export:
// - each placed record becomes a char: x, y, width, height = its cell;
//   xadvance = PreAdvance + PostAdvance;
// - with the host's per-character geometry (font-info version 2) the glyphs land where FreeType
//   puts them relative to the pen and the baseline: xoffset = -drawOffsetX, yoffset = -drawOffsetY,
//   lineHeight = the font's line height, base = its ascent, whatever margins the cells carry;
// - without it (a version 1 host, or none) only the cells are known: xoffset = PreAdvance,
//   yoffset = 0, lineHeight = the cell height, base = the host's cell base (the cell height
//   without a host), which is how the fixed records lay text out cell by cell;
// - padding and spacing are 0: the offsets already account for every margin;
// - records that did not find room are left out (only the host can tell which; without it every
//   record counts as placed);
// - the space gets a zero-size char whose xadvance is `spaceAdvance`, whether or not it was selected;
// - scaleW/scaleH are the texture size; face, size, bold, italic, outline and kernings come from the
//   host; without it face is "", size is the line height and there are no kernings;
// - the channel fields say what the page holds: the glyphs (0), or glyph and outline (2) when the
//   outline is on; every char lies in all four channels (chnl 15);
// - pages = the number of page files; each char's page is charPages[i] (0 when the list is empty),
//   and kerning pairs are kept between characters of any pages.
BmFontDescription BuildBmFontDescription(uint32_t textureWidth, uint32_t textureHeight, int32_t spaceAdvance,
                                         std::span<const TExportCharInfo> chars,
                                         const std::optional<HostFontInfo>& host, std::vector<std::string> pageFiles,
                                         std::span<const uint32_t> charPages = {});

}  // namespace glyphmill::plugins
