// The job table builder: one PlacedCharacter per selected code unit, in ascending order, with the
// cell size, drawing offsets and advances derived from the glyph metrics and the spacing settings.
#pragma once

#include <cstdint>
#include <vector>

#include "render/placed_character.h"
#include "settings/character_selection.h"
#include "settings/font_face.h"
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

// One record from a code unit's metrics and height.
PlacedCharacter BuildPlacedCharacter(const GenerationSettings& s, uint16_t codeUnit, const GlyphABC& abc,
                                     int32_t height);

struct JobTable {
  std::vector<PlacedCharacter> chars;
  std::vector<GlyphABC> abc;  // the metrics each record was built from (the job's guides read them)
  uint32_t tallestCell = 0;   // the largest cellHeight
};

// Builds the table for every selected code unit. The table holds exactly `capacity` records: when
// more code units are selected than that, the extra ones are left out, never written past the end.
JobTable BuildJobTable(const GenerationSettings& s, const CharacterSelection& selection,
                       const std::vector<GlyphABC>& glyphMetrics, const std::vector<int32_t>& glyphHeights,
                       uint32_t capacity, const GenerationExtras& extras = {});

}  // namespace glyphmill
