// Glyph drawing and surface preparation: the background fill, drawing the placed characters in one
// of the three antialiasing modes, and the cell guides.
//
// Drawing a code unit "at (x, y)" puts the pen at x and the baseline at y + ascent: the point is the
// top-left reference of the character's text line. Smooth mode blends the grey coverage of the
// colour over what the target holds; None mode has coverage 0 or 255 only, so a pixel takes the
// colour or stays; Cleartype renders per-channel (LCD) coverage white on the black scratch image,
// then applies the channel average as one alpha value, so a Cleartype texture has no colour fringes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "render/image24.h"
#include "render/placed_character.h"
#include "render/progress_reporter.h"
#include "render/rendered_glyphs.h"
#include "settings/font_face.h"

namespace glyphmill {

// What a drawing pass draws: the job's face (null when it could not be opened: nothing is drawn),
// its fallback faces (a record whose font is k is drawn with fallbacks[k - 1]; one without an
// opened face with the job's face), its antialiasing mode, the table and which of its records are
// placed. `rendered` holds the glyphs the passes over this source rendered (copies of a source
// share them), so that every later pass composites them again instead of rendering them again.
// Every glyph is drawn on the job's face's baseline, whatever font it comes from.
struct GlyphSource {
  FontFace* face = nullptr;
  uint16_t antialiasMode = 0;
  const std::vector<PlacedCharacter>* chars = nullptr;
  const std::vector<uint8_t>* placed = nullptr;  // one flag per record
  std::shared_ptr<RenderedGlyphs> rendered = std::make_shared<RenderedGlyphs>();
  std::vector<FontFace*> fallbacks = {};
};

// The records of `source` that are placed, by index, in table order: what a drawing pass draws.
std::vector<int32_t> PlacedRecords(const GlyphSource& source);

// A grey target (mask, scratch) takes the Cleartype average in all three channels; a colour target
// is blended towards the drawing colour by it.
enum class TargetKind { Grey, Colour };

// Background of the colour image, `backColour` read as a signed number: 0 or below fills black,
// 16777215 fills white, any other value fills the image without its last column and last row (a
// filled rectangle without a pen), which keep what the image held.
void FillBackground(Image24& colour, uint32_t backColour);

// Composites one rendered glyph with its bitmap origin at (x, y): grey coverage blended in `colour`,
// or LCD coverage blended per channel. Clipped to the target.
void CompositeGlyph(Image24& target, const GlyphImage& glyph, int64_t x, int64_t y, Bgr colour);

// The average of a Cleartype rendering as an alpha value: t = (B + G + R) / 765.
// Grey target: every channel = round(t * 255). Colour target: each channel blended from its value
// towards `colour` by t. `target` may be `scratch` itself (each pixel is read before it is written).
void ApplyCleartype(const Image24& scratch, Image24& target, TargetKind kind, Bgr colour);

// Draws every placed record, in table order, at (cellX + drawOffsetX, cellY + drawOffsetY), with a
// throttled "Drawing Character (i/n)" report after each and a stop check after each. The glyphs are
// rendered on up to RenderWorkerCount() threads (RenderedGlyphs), once per source. Adds 100 to the
// progress base when the pass completes. Returns false when a stop request ended the pass: what was
// drawn stays, the Cleartype conversion is skipped and the progress base is left as it was.
// Locks the surfaces it draws on (the scratch image in Cleartype mode, then the target).
bool DrawCharacters(const GlyphSource& source, Image24& target, TargetKind kind, Bgr colour, Image24& scratch,
                    ProgressReporter& progress, const StopFlag& stop);

// The guides of every placed record, in table order: the cell in red, the space between the pen and
// the black box (A) in green, the C space at the cell's right edge in blue; one-pixel frames with
// right/bottom edges excluded. `abc[i]` are the metrics record i was built from; `placed[i]` is 0
// for a record that found no room (its cell would sit at 0, 0 over another), every record is placed
// when `placed` is empty.
void DrawGuides(Image24& colour, const std::vector<PlacedCharacter>& chars, const std::vector<GlyphABC>& abc,
                const std::vector<uint8_t>& placed = {});

}  // namespace glyphmill
