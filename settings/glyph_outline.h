// GlyphOutline: a glyph's outline as FreeType loads it for drawing, in pixels, as plain records,
// for the multi-channel distance fields that are computed from the outline itself.
//
// Coordinates are pixels with the origin at the pen position on the baseline and y pointing up,
// exactly the outline FreeType's Smooth renderer covers (same hinting, synthesised bold and italic
// applied). Each contour is closed: the last segment ends where the first begins.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "settings/font_face.h"

namespace glyphmill {

struct OutlinePoint {
  double x = 0;
  double y = 0;
  bool operator==(const OutlinePoint&) const = default;
};

// One Bezier segment: degree 1 (a line, points 0 and 1), 2 (quadratic, 0..2) or 3 (cubic, 0..3).
struct OutlineSegment {
  uint8_t degree = 1;
  std::array<OutlinePoint, 4> p{};
};

struct OutlineContour {
  std::vector<OutlineSegment> segments;
};

struct GlyphOutline {
  std::vector<OutlineContour> contours;
  // The glyph's Smooth coverage rendered from the same outline: its box (left, top, width, rows)
  // is the one FreeType's distance field grows by the spread; empty (width 0) without ink.
  GlyphImage coverage;
};

// How reading a glyph's outline went.
enum class OutlineRead {
  Read,       // `contours` and `coverage` hold the glyph (both empty for a glyph without ink)
  NoOutline,  // the glyph exists only as a bitmap (colour or bitmap-only fonts)
  Failed,     // FreeType could not load or render it
};

}  // namespace glyphmill
