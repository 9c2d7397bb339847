// Page pixels: the colour page exporters receive, made from the drawing itself rather than from
// the colour image.
//
// The colour image is drawn over the background colour, so a glyph's edge pixel holds the text
// colour already blended with the background by its coverage. An engine that filters or mipmaps
// such a page with straight alpha blends by coverage a second time and shows a rim of the
// background colour. The straight page instead holds, for each pixel, the colour of what was drawn
// there before the background showed through:
//
//   layers, bottom to top:  outline (colour O, coverage a)  then  text (colour T, coverage g)
//   an outline blended by its coverage (drop shadow on):  P = g T + (1 - g) a O,  k = g + (1 - g) a
//   an outline set outright where it reaches (shadow off): a > 0 counts as a = 1 for the colour
//   without outline:                                       P = g T,                 k = g
//
// P is the layers' premultiplied colour and k their combined coverage. With m the pixel's alpha
// (the mask, which also holds the outline opacity and the drop shadow): where the layers cover at
// least m the straight colour is P / k (their own colour, whatever opacity the mask gives it); where
// the mask holds more than the layers (the drop shadow around and under them) the rest is the
// shadow's colour, which is what the colour image shows there (the background colour):
// S = (P + (m - k) shadow) / m. Fully transparent pixels take the colour of the nearest pixel with
// alpha (Euclidean distance), so filtering and mipmaps never pull in a colour the drawing does not
// have. The premultiplied page holds round(S * m / 255) per channel, 0 where m is 0.
//
// Distance-field pages are data, not colour, and never go through here.
#pragma once

#include <cstdint>
#include <vector>

#include "render/image24.h"
#include "settings/generation_settings.h"

namespace glyphmill {

// The coverage of each drawn layer, one byte per pixel, row after row, kept while a job draws.
struct LayerCoverage {
  int32_t width = 0;
  int32_t height = 0;
  // The text's coverage as the colour image received it; empty when the mask itself is that
  // coverage (neither outline nor drop shadow), which then needs no copy.
  std::vector<uint8_t> glyph;
  std::vector<uint8_t> outline;  // the outline's coverage; empty when there is no outline
};

// How the layers were coloured and laid over each other.
struct LayerColours {
  Bgr text;
  Bgr outline;
  Bgr shadow;                   // the colour the colour image shows under the drop shadow
  bool outlineBlended = false;  // blended by its coverage; otherwise set outright where it reaches
};

// The colours of a job's layers: the text and outline colours, the background's colour as the
// fill gives it (a negative value fills black) for the shadow, the outline blended when the drop
// shadow is on.
LayerColours LayerColoursOf(const GenerationSettings& settings);

// The text coverage from a grey image (its blue channel): the mask drawn without outline, before
// the drop shadow raised it.
void CaptureGlyphCoverage(const Image24& grey, LayerCoverage& out);
// Both layers from the outline's scratch image: G the glyph coverage, R the outline coverage.
void CaptureOutlineCoverage(const Image24& scratch, LayerCoverage& out);

// The straight colour of every pixel with alpha (the mask's blue channel), as described above,
// and the colour of the nearest such pixel in every other. `out` takes the mask's size. Rows are
// split over `workers` threads.
void MakeStraightPage(const LayerCoverage& layers, const LayerColours& colours, const Image24& mask, int32_t workers,
                      Image24& out);

// Every fully transparent pixel (mask 0) takes the colour of the nearest pixel whose mask is not 0;
// ties go to the pixel found first in the order of the exact distance transform. A page without any
// such pixel is left as it is.
void BleedIntoTransparent(Image24& page, const Image24& mask, int32_t workers);

// Each channel of a straight page multiplied by alpha: round(c * m / 255), as an engine
// premultiplies a straight texture. (MakePage rounds premultiplied pages once, from the exact
// straight colour.)
void Premultiply(Image24& page, const Image24& mask);

// The page of `pagePixels` (kPagePixelsStraight or kPagePixelsPremultiplied).
void MakePage(uint8_t pagePixels, const LayerCoverage& layers, const LayerColours& colours, const Image24& mask,
              int32_t workers, Image24& out);

}  // namespace glyphmill
