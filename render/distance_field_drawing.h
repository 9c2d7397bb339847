// Drawing a distance-field font (antialiasing Distance Field): the mask holds each glyph's signed
// distance field as FreeType renders it (128 on the outline, higher inside, lower outside; see
// PolicyForAntialias), and the colour image holds the text colour wherever the field is above 0,
// so an engine that samples the colour between texels never blends in the background near an
// edge. Outline and drop shadow are not drawn in this mode (distance_field_mode.h): an engine draws them
// from the field.
//
// The fields are the costly part (FreeType's SDF rasteriser), so they are rendered on several
// threads, each with its own FreeType library and face (FreeType allows one thread per library);
// they are written into the mask on the job's thread in table order, with the same throttled
// "Drawing Character (i/n)" reports and stop checks as every other drawing pass.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "render/glyph_drawing.h"
#include "render/image24.h"
#include "render/progress_reporter.h"
#include "settings/font_face.h"

namespace glyphmill {

// Where one record's field lies in the texture (not clipped); empty for records not drawn.
struct FieldBox {
  int64_t x = 0;
  int64_t y = 0;
  int32_t width = 0;
  int32_t rows = 0;
};

// How far, per thread, rendering fields may run ahead of the writes into the texture.
inline constexpr int32_t kFieldGlyphsAheadPerWorker = 32;

// The faces a field pass renders with, one per thread: the job's own `face` first, then up to
// `wanted` - 1 further faces opened from the same file into `own` (each with its own FreeType
// library), all with the field spread set. Fewer when opening more fails: the result is the same.
std::vector<FontFace*> FieldWorkerFaces(FontFace* face, uint16_t spread, int32_t wanted,
                                        std::vector<std::unique_ptr<FontFace>>& own);

// Threads worth using for `glyphs` fields: `workers`, or 1 for only a few glyphs.
int32_t FieldThreadsFor(std::size_t glyphs, int32_t workers);

// Writes a field into a grey target with its bitmap's top-left corner at (x, y), all three
// channels. Each pixel keeps the larger of what it holds and the field, so a neighbour's outside
// values never cut into a glyph where cells touch. Clipped to the target.
void CompositeField(Image24& mask, const GlyphImage& field, int64_t x, int64_t y);

// Every pixel of `box` (clipped to both images) whose mask value is above 0 takes `ink`.
void ColourFromField(const Image24& mask, Image24& colour, const FieldBox& box, Bgr ink);

// The mask pass: renders the field of every placed record with spread `spread` on up to `workers`
// threads and writes it into `mask` at (cellX + drawOffsetX, cellY + drawOffsetY) like
// DrawCharacters. `boxes` gets one entry per record. Adds 100 to the progress base when complete;
// false when a stop request ended the pass (what was written stays). Locks the mask.
bool DrawFieldMask(const GlyphSource& source, uint16_t spread, int32_t workers, Image24& mask,
                   std::vector<FieldBox>& boxes, ProgressReporter& progress, const StopFlag& stop);

// The colour pass: ColourFromField over the box of every placed record, in table order, with the
// reports and stop checks of a drawing pass. Adds 100 to the progress base when complete; false
// when stopped. Locks the colour image (the mask is the job's and no longer drawn on).
bool DrawFieldColour(const GlyphSource& source, const std::vector<FieldBox>& boxes, const Image24& mask,
                     Image24& colour, Bgr ink, ProgressReporter& progress, const StopFlag& stop);

}  // namespace glyphmill
