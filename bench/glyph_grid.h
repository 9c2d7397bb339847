// The cells of a field benchmark: every code unit of a range in rows of 256 square cells, all
// placed, with no packing, so that only the rendering and the writes into the texture are timed.
#pragma once

#include <cstdint>
#include <vector>

#include "render/placed_character.h"

namespace glyphmill::bench {

struct GlyphGrid {
  std::vector<PlacedCharacter> chars;
  std::vector<uint8_t> placed;
  int32_t side = 0;  // the width the rows take, in pixels
};

inline GlyphGrid Grid(uint32_t first, uint32_t last, int32_t cell) {
  GlyphGrid s;
  const int32_t perRow = 256;
  for (uint32_t u = first; u <= last; ++u) {
    PlacedCharacter c;
    c.codeUnit = static_cast<uint16_t>(u);
    const int32_t i = static_cast<int32_t>(u - first);
    c.cellX = (i % perRow) * cell;
    c.cellY = (i / perRow) * cell;
    c.cellWidth = c.cellHeight = static_cast<uint32_t>(cell);
    s.chars.push_back(c);
  }
  s.placed.assign(s.chars.size(), 1);
  s.side = perRow * cell;
  return s;
}

}  // namespace glyphmill::bench
