// GenerationResult: what a finished render job hands on, moved out of the job at its completion:
// the texture and its alpha mask, the placed-character table, how many records found room and the
// order placement took them in. The window's preview and hover, and every export, read this one
// value; nothing of it is worked out again from the table.
#pragma once

#include <cstdint>
#include <vector>

#include "render/image24.h"
#include "render/placed_character.h"

namespace glyphmill {

struct GenerationResult {
  Image24 colour;                      // the texture
  Image24 mask;                        // the alpha mask (distance fields when fieldSpread > 0)
  std::vector<PlacedCharacter> chars;  // the job table, table order, with the cells placement gave
  // Records whose position in sortOrder lies below placedCount found room (kAllPlaced: all).
  int32_t placedCount = kAllPlaced;
  std::vector<int32_t> sortOrder;  // indices into chars, in the order placement took them
  uint16_t fieldSpread = 0;        // the mask holds distance fields of this spread; 0: coverage
  LineCell line;                   // the text line's cell, also when the cells are compact
};

// One flag per table record: 1 when it found room in the texture.
std::vector<uint8_t> PlacedFlags(const GenerationResult& result);

}  // namespace glyphmill
