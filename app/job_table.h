// The job table builder: one PlacedCharacter per selected code unit, in ascending order, with the
// cell size, drawing offsets and advances derived from the glyph metrics and the spacing settings.
//
// Two cell modes share every margin (outline, shadow, vertical pad, padding, bold):
// - line cells (the classic default): every cell is a whole text line tall and the text line's top
//   lies the same distance below every cell's top;
// - compact cells: a cell is as tall as its glyph's ink, and the text line's top moves so that the
//   ink lands where the line cell's ink-free rows have been cut away. The line top then lies above
//   the cell (drawOffsetY < 0) whenever the margins are smaller than the gap between the line top
//   and the ink. Drawing at (cellX + drawOffsetX, cellY + drawOffsetY) puts every pixel exactly
//   where it lies in the line cell, shifted up by the rows cut away.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "render/placed_character.h"
#include "settings/character_selection.h"
#include "settings/font_face.h"
#include "settings/font_metrics.h"
#include "settings/generation_extras.h"
#include "settings/generation_settings.h"

namespace glyphmill {

// Margins the effects need around every glyph (only for effects the job bakes, see distance_field_mode.h).
int32_t OutlineMargin(const GenerationSettings& s);  // 1, or 2 * outlineWidth + 1 with the outline
int32_t ShadowLead(const GenerationSettings& s);     // shadowSmoothing div 2 - shadowOffset, >= 0
int32_t ShadowExtent(const GenerationSettings& s);   // shadowSmoothing + shadowOffset
// The spread on every side of a distance-field glyph, so that no field is cut by its cell; 0 in
// the other antialiasing modes.
int32_t DistanceFieldMargin(const GenerationSettings& s, const GenerationExtras& extras);
// Widens a record's cell by `margin` on every side and moves its drawing point in by it.
void GrowCellByMargin(PlacedCharacter& pc, int32_t margin);

// One line-cell record from a code unit's metrics and height.
PlacedCharacter BuildPlacedCharacter(const GenerationSettings& s, uint16_t codeUnit, const GlyphABC& abc,
                                     int32_t height);

// One compact-cell record: the line cell of a text line as tall as the ink (so the same margins
// surround it), with the text line's top moved up by the distance from the line top (`ascent`
// above the baseline) to the ink's top row. A glyph without ink gets a cell of its margins only.
PlacedCharacter BuildCompactCharacter(const GenerationSettings& s, uint16_t codeUnit, const GlyphABC& abc,
                                      const GlyphInk& ink, int32_t ascent);

// What compact cells need of the measurement: every code unit's ink and the font's ascent.
struct InkSource {
  std::span<const GlyphInk> glyphInk;  // empty: no ink tables
  int32_t ascent = 0;
};

struct JobTable {
  std::vector<PlacedCharacter> chars;
  std::vector<GlyphABC> abc;  // the metrics each record was built from (the job's guides read them)
  // The height of the band that holds every cell with the cells' text lines on one row (what the
  // preview strip needs): max(drawOffsetY) + max(cellHeight - drawOffsetY). With line cells every
  // offset is the same, so it is the largest cellHeight.
  uint32_t tallestCell = 0;
  // The line cell of the first record, with its margins (the first record itself with line cells).
  LineCell line;
};

// Builds the table for every selected code unit. The table holds exactly `capacity` records: when
// more code units are selected than that, the extra ones are left out, never written past the end.
// Compact cells (extras.cellMode) read `ink`; without ink tables every cell is a line cell.
JobTable BuildJobTable(const GenerationSettings& s, const CharacterSelection& selection,
                       std::span<const GlyphABC> glyphMetrics, std::span<const int32_t> glyphHeights, uint32_t capacity,
                       const GenerationExtras& extras = {}, const InkSource& ink = {});

// The same from a measurement's tables, each record with the font its code unit comes from.
JobTable BuildJobTable(const GenerationSettings& s, const CharacterSelection& selection, const FontTables& tables,
                       uint32_t capacity, const GenerationExtras& extras = {});

}  // namespace glyphmill
