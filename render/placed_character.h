// PlacedCharacter: one record of the job table, one per selected code unit in ascending order.
// The generation driver fills the sizes, offsets and advances; placement fills cellX/cellY.
#pragma once

#include <cstdint>

namespace glyphmill {

struct PlacedCharacter {
  uint32_t cellWidth = 0;     // cell width in pixels, margins included
  uint32_t cellHeight = 0;    // cell height in pixels
  int32_t cellX = 0;          // left edge in the texture; 0 until placed
  int32_t cellY = 0;          // top edge in the texture; 0 until placed
  int32_t drawOffsetX = 0;    // cell left edge -> pen position the character is drawn at
  int32_t drawOffsetY = 0;    // cell top edge -> top of the character's text line
  int32_t advanceBefore = 0;  // pen -> left of the black box: A + kerning/2, rounded
  int32_t advanceAfter = 0;   // left of the black box -> next pen: B + C + kerning/2, rounded
  uint16_t codeUnit = 0;      // UTF-16 code unit
  uint16_t page = 0;          // texture page the cell lies on (0: the first, the classic texture)
  uint8_t font = 0;           // the font it is drawn from: 0 the chosen one, k its k-th fallback

  bool operator==(const PlacedCharacter&) const = default;
};

// Placed count meaning "every character found room".
inline constexpr int32_t kAllPlaced = 65536;

// The cell a whole text line takes (every cell's shape with line cells; with compact cells, the
// shape a cell would have): its height and the distance from its top to the line's top. Records
// that describe the font's line rather than one character read it. A height of 0: no line cell.
struct LineCell {
  uint32_t height = 0;
  int32_t drawOffsetY = 0;
};

// Job options byte.
inline constexpr uint8_t kJobPlace = 1;       // always set by the driver
inline constexpr uint8_t kJobDrawGuides = 4;  // "Show Guides"
// The result goes to an export and nothing shows it: each later page keeps only the colour
// exporters receive (texture_page.h).
inline constexpr uint8_t kJobExportOnly = 8;

}  // namespace glyphmill
