// The range editor's glyph pictures: each code unit is rasterised once in the grid's font (the
// chosen family, no style, 14 points, black, smooth) and kept, so repaints and scrolling only copy
// pictures. The cache is bounded; the least recently drawn glyphs leave it first.
#pragma once

#include <QCache>
#include <QImage>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "settings/font_face.h"

namespace glyphmill {

inline constexpr int kRangeGridPointSize = 14;

// One rasterised glyph: a black picture with coverage as alpha, and its offset from the text
// point (the pen position on the top line of the text): x = left, y = ascent - top.
struct GlyphCellImage {
  QImage image;  // null for an empty glyph or one that could not be rendered
  int x = 0;
  int y = 0;
};

class GlyphCellCache {
 public:
  GlyphCellCache();
  ~GlyphCellCache();

  // Opens the grid's font for a family name and empties the cache. False (with a message) when
  // the font cannot be opened; glyphs are then not drawn.
  bool setFont(const std::string& familyName, std::string* error);
  const std::string& familyName() const { return family_; }

  // The fallback fonts the grid draws a code unit from when its font (FontTables::glyphFont) is
  // k > 0: fonts[k - 1], at the grid's size, on the grid font's line. Empties the cache.
  void setFallbacks(const std::vector<ResolvedFont>& fonts);

  // The glyph of a code unit from its font, rasterised on first use. nullptr without an open font.
  const GlyphCellImage* glyph(uint16_t codeUnit, uint8_t font = 0);

  // How many glyphs were rasterised since the font was set.
  int rasterisedCount() const { return rasterised_; }

 private:
  std::unique_ptr<FontFace> face_;
  std::vector<std::unique_ptr<FontFace>> fallbacks_;  // null where a fallback would not open
  QCache<int, GlyphCellImage> cache_;
  std::string family_;
  int rasterised_ = 0;
};

}  // namespace glyphmill
