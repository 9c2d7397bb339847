// Drawing a multi-channel distance-field font (antialiasing MSDF or MTSDF): every placed glyph's
// field (multi_channel_field.h) is computed from its outline on several threads (one face, so one
// FreeType library, per thread) and written in table order into the colour image (red, green and
// blue: the three channels) and the mask (MSDF: the median of the three, what the window shows;
// MTSDF: the true signed distance). Outline and drop shadow are not drawn (distance_field_mode.h).
//
// A glyph whose outline cannot be read (a bitmap-only or colour glyph) gets the single-channel field
// FreeType renders for it in all four places instead, and is counted in the fallbacks.
#pragma once

#include <cstdint>
#include <vector>

#include "render/glyph_drawing.h"
#include "render/image24.h"
#include "render/multi_channel_field.h"
#include "render/progress_reporter.h"

namespace glyphmill {

// Glyphs drawn with a single-channel field because their outline could not be read.
struct FieldFallbacks {
  int32_t count = 0;
  uint16_t firstCodeUnit = 0;  // the first such record's code unit, in table order
};

// Writes a glyph's field with its top-left corner at (x, y): a pixel takes the field's channels
// and mask value where that mask value is above what the mask holds, so a neighbour's outside
// never cuts into a glyph where fields overlap. `maskFromAlpha` picks the true distance (MTSDF)
// over the median (MSDF) for the mask. Clipped to both images.
void CompositeMultiChannelField(Image24& colour, Image24& mask, const MultiChannelField& field, int64_t x, int64_t y,
                                bool maskFromAlpha);

// A single-channel field (FreeType's, GlyphImage Gray) as a multi-channel one: the same value in
// all three channels and the alpha.
MultiChannelField FromSingleChannelField(const GlyphImage& field);

// The pass: every placed record of `source` (antialiasing MSDF or MTSDF) at (cellX + drawOffsetX,
// cellY + drawOffsetY), with "Drawing Character (i/n)" reports and stop checks. Fills both images
// with 0 first (the far outside). Adds 200 to the progress base when complete (the colour and mask
// passes of the single-channel field); false when a stop request ended it. Locks both images.
bool DrawMultiChannelFields(const GlyphSource& source, uint16_t spread, int32_t workers, Image24& colour, Image24& mask,
                            FieldFallbacks& fallbacks, ProgressReporter& progress, const StopFlag& stop);

}  // namespace glyphmill
