// The drop shadow effect: a copy of the finished mask, moved right and down by the offset, blurred
// by repeated in-place 3 x 3 box averaging, scaled by the opacity and merged into the mask by
// taking the larger value. The shadow lives only in the mask; the colour image is not touched.
//
// The blur works in place: each pixel sees the new values of its left neighbour and of the row
// above. That order is part of the result, so passes are never split by rows. Instead consecutive
// passes run on different cores as a pipeline: a pass may compute row y once the pass before it
// has finished row y + 1, which is exactly when every value it reads is final and no value the
// earlier pass still needs gets overwritten. The result equals the plain pass-after-pass loop.
#pragma once

#include <cstdint>

#include "render/image24.h"
#include "render/progress_reporter.h"
#include "settings/generation_settings.h"

namespace glyphmill {

// Scratch filled black, then the mask's (W - o) x (H - o) pixels from (0, 0) copied to (o, o).
void ShiftMaskIntoScratch(const Image24& mask, Image24& scratch, int32_t offset);

// One in-place blur pass over R of rows a..H-2, columns a..W-2, with a = max(offset, 1): each
// pixel becomes the truncated mean of the nine R values of its 3 x 3 block.
void BlurShadowPass(Image24& scratch, int32_t offset);

// 2 * smoothing passes on `workers` threads (pipelined as described above), with throttled
// "Calculating Drop Shadow... (p%)" reports. A stop request is honoured between passes (false).
bool BlurShadow(Image24& scratch, int32_t offset, int32_t smoothing, int32_t workers, ProgressReporter& progress,
                const StopFlag& stop);

// round(v * opacity / 100), exactly, halves to even; kept within 0..255.
uint8_t ShadowValue(uint8_t v, int32_t opacityPercent);

// Every mask channel becomes the larger of its value and ShadowValue(R of the scratch pixel).
// Throttled "Applying Drop Shadow... (p%)" reports.
void MergeShadow(const Image24& scratch, Image24& mask, int32_t opacityPercent, ProgressReporter& progress);

// The whole effect, one step of a job's run: "Drawing Dropshadow...", shift, blur, merge. Adds 200
// to the progress base. False when a stop request cut the blur short.
bool DrawDropShadow(const GenerationSettings& settings, Image24& mask, Image24& scratch, ProgressReporter& progress,
                    const StopFlag& stop);

}  // namespace glyphmill
