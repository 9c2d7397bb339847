// What the pointer is over in the texture: the placed character whose cell holds a texture pixel,
// and the text the view shows for it (glyph, U+XXXX, Unicode block, cell, advances). Only
// characters that found room count; a character that did not fit keeps cell (0, 0) and is not
// in the texture.
#pragma once

#include <QRect>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "render/placed_character.h"

namespace glyphmill {

// The index of the placed record whose cell holds texture pixel (x, y); `placed` holds one flag per
// record (PlacedFlags of the job's result: placement takes the records in its own order, not the
// table's). Nothing when no placed cell holds the pixel.
std::optional<std::size_t> PlacedCellAt(const std::vector<PlacedCharacter>& table, const std::vector<uint8_t>& placed,
                                        int x, int y);

// The cell of a record as a rectangle in texture pixels.
QRect CellRect(const PlacedCharacter& cell);

// "“Ä” U+00C4 Latin-1 Supplement — cell 40, 0, 21 × 37 — advances 1 before, 22 after": the hover text.
// When the generation filled several pages it names the cell's page: "... — page 2 of 3".
QString InspectText(const PlacedCharacter& cell, int32_t pageCount = 1);

}  // namespace glyphmill
