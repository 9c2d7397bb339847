#include "plugins/common/bmfont_model.h"

#include <algorithm>
#include <utility>

namespace glyphmill::plugins {
namespace {

// Height of the cells that will be listed: all cells of a texture share one height; take the
// tallest in case a table mixes them.
int32_t TallestCell(std::span<const TExportCharInfo> chars, const std::optional<HostFontInfo>& host) {
  uint32_t tallest = 0;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (host && !host->isPlaced(i)) continue;
    tallest = std::max(tallest, chars[i].Height);
  }
  return static_cast<int32_t>(std::min<uint32_t>(tallest, INT32_MAX));
}

}  // namespace

BmFontDescription BuildBmFontDescription(uint32_t textureWidth, uint32_t textureHeight, int32_t spaceAdvance,
                                         std::span<const TExportCharInfo> chars,
                                         const std::optional<HostFontInfo>& host, std::vector<std::string> pageFiles,
                                         std::span<const uint32_t> charPages) {
  BmFontDescription d;
  d.pageFiles = std::move(pageFiles);
  d.common.pages = static_cast<int32_t>(d.pageFiles.size());
  d.common.scaleW = static_cast<int32_t>(textureWidth);
  d.common.scaleH = static_cast<int32_t>(textureHeight);
  const bool geometry = host && host->hasGeometry();
  if (host) {
    d.common.lineHeight = host->lineHeight;
    d.common.base = geometry ? host->ascent : host->base;
    d.info.face = host->faceName;
    d.info.size = host->pixelSize;
    d.info.bold = host->bold;
    d.info.italic = host->italic;
    d.info.smooth = host->antialiasMode != 2;
    d.info.outline = host->outlineWidth;
    d.distanceRange = host->distanceRange;
    d.fieldType = host->fieldType();
    d.premultipliedAlpha = host->premultipliedAlpha;
  } else {
    d.common.lineHeight = TallestCell(chars, host);
    d.common.base = d.common.lineHeight;
    d.info.size = d.common.lineHeight;
  }
  // The colour page holds the drawn glyphs in every channel; with an outline they include it.
  const int32_t content = d.info.outline > 0 ? kChannelGlyphAndOutline : kChannelGlyph;
  d.common.alphaChnl = d.common.redChnl = d.common.greenChnl = d.common.blueChnl = content;

  // The space first, so that after the stable sort it wins over a selected space record.
  BmFontChar space;
  space.id = kSpaceCode;
  space.xadvance = spaceAdvance;
  d.chars.push_back(space);
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (host && !host->isPlaced(i)) continue;
    const TExportCharInfo& c = chars[i];
    BmFontChar ch;
    ch.id = c.Code;
    ch.x = c.X;
    ch.y = c.Y;
    ch.width = c.Width;
    ch.height = c.Height;
    if (geometry) {
      ch.xoffset = static_cast<int32_t>(-static_cast<int64_t>(host->geometry[i].drawOffsetX));
      ch.yoffset = static_cast<int32_t>(-static_cast<int64_t>(host->geometry[i].drawOffsetY));
    } else {
      ch.xoffset = c.PreAdvance;
      ch.yoffset = 0;
    }
    ch.xadvance = static_cast<int32_t>(static_cast<int64_t>(c.PreAdvance) + c.PostAdvance);
    ch.page = i < charPages.size() ? static_cast<int32_t>(charPages[i]) : 0;
    d.chars.push_back(ch);
  }
  std::stable_sort(d.chars.begin(), d.chars.end(),
                   [](const BmFontChar& a, const BmFontChar& b) { return a.id < b.id; });
  d.chars.erase(std::unique(d.chars.begin(), d.chars.end(),
                            [](const BmFontChar& a, const BmFontChar& b) { return a.id == b.id; }),
                d.chars.end());

  if (host) {
    std::vector<uint32_t> ids;
    ids.reserve(d.chars.size());
    for (const BmFontChar& ch : d.chars) ids.push_back(ch.id);
    auto listed = [&ids](uint32_t id) { return std::binary_search(ids.begin(), ids.end(), id); };
    for (const KerningPair& k : host->kernings) {
      if (k.amount != 0 && listed(k.first) && listed(k.second)) d.kernings.push_back(k);
    }
    auto key = [](const KerningPair& k) { return std::pair(k.first, k.second); };
    std::stable_sort(d.kernings.begin(), d.kernings.end(),
                     [&key](const KerningPair& a, const KerningPair& b) { return key(a) < key(b); });
    d.kernings.erase(std::unique(d.kernings.begin(), d.kernings.end(),
                                 [&key](const KerningPair& a, const KerningPair& b) { return key(a) == key(b); }),
                     d.kernings.end());
  }
  return d;
}

}  // namespace glyphmill::plugins
