// The outline effect: grows a soft halo around every glyph on the scratch image, shapes its edge
// with the hardness curve, paints the outline colour into the colour image and writes the whole
// alpha mask as the larger of glyph coverage and outline coverage times the outline opacity.
//
// The scratch image serves as three planes: G the glyph coverage (never changed here), B the
// outline coverage of the previous growth pass (only read during a pass), R the coverage being
// computed. A pass reads only B and writes only R, so its rows are independent and are split over
// the cores; no second buffer is needed.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "render/glyph_drawing.h"
#include "render/image24.h"
#include "render/progress_reporter.h"
#include "settings/generation_settings.h"

namespace glyphmill {

// One growth pass over the inner pixels (1 <= x <= W - 2, 1 <= y <= H - 2): a pixel below 255
// with brighter neighbours in its 3 x 3 block takes the truncated mean of itself and those
// neighbours into R; otherwise R stays. Then R is copied into B for every inner pixel.
// `afterRow(y)` runs on the calling thread after rows it computed (may be empty).
void GrowOutlinePass(Image24& scratch, int32_t workers, const std::function<void(int32_t)>& afterRow = {});

// `passes` growth passes with throttled "Calculating Outline... (p%)" reports. A stop request is
// honoured between passes (false: the halo is incomplete and the job's result will be discarded).
bool GrowOutline(Image24& scratch, int32_t passes, ProgressReporter& progress, const StopFlag& stop);

// The hardness exponent e: (11 - h) / 10 for h > 0, 1 / ((h + 11) / 10) for h <= 0. Hardness is
// taken within -10..10 (values outside, which only a hand-made settings record can hold, would
// give an infinite or negative exponent).
double HardnessExponent(int32_t hardness);
// round((v / 255)^e * 255) for every v; 0 and 255 map to themselves.
std::array<uint8_t, 256> HardnessTable(int32_t hardness);
// The hardness curve on R of every inner pixel with 0 < R < 255.
void ApplyHardness(Image24& scratch, int32_t hardness);

// round(a * f) with f = opacity / 100 held in single precision, kept within 0..255.
std::array<uint8_t, 256> OutlineMaskTable(int32_t opacityPercent);

// Application over every pixel: with a = R (outline) and g = G (glyph) of the scratch pixel, the
// colour image is blended towards the outline colour by a / 255 when the drop shadow is on, or set
// to it wherever a > 0 when it is off; every mask channel becomes max(g, round(a * f)).
// Throttled "Applying Outline... (p%)" reports.
void ApplyOutline(const Image24& scratch, Image24& colour, Image24& mask, uint32_t outlineColour,
                  int32_t opacityPercent, bool dropShadow, ProgressReporter& progress);

// The whole effect, one step of a job's run: "Drawing Outline...", the glyphs in white on the
// black scratch image, growth, hardness, application. Adds 200 to the progress base, plus the 100
// of the character drawing when that was not stopped. False when a stop request cut it short.
bool DrawOutline(const GlyphSource& source, const GenerationSettings& settings, Image24& colour, Image24& mask,
                 Image24& scratch, ProgressReporter& progress, const StopFlag& stop);

}  // namespace glyphmill
