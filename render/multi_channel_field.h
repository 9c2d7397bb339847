// The multi-channel signed distance field of one glyph, computed from its outline.
//
// The outline's boundary is resolved (shape_boundary.h) and coloured (edge_colouring.h). For every
// pixel centre, each channel holds the signed pseudo-distance of the nearest edge of that channel's
// colour: the distance to the edge, or, beyond its ends, to its tangent extended there. The median
// of the three channels is the shape with its corners kept sharp; a fourth value holds the true
// signed distance (its sign from the non-zero winding of the outline at the pixel).
//
// Error correction: a pixel whose median disagrees in sign with the true distance, and the pixels
// on both sides of a place between them where the interpolated median disagrees with the true
// distance there by more than kClashTolerance, take the true distance in all three channels (the
// artefacts of the method at near-touching contours and thin gaps). Every channel is then held to
// within the spread of the true distance.
//
// Encoding. The true distance (MTSDF's alpha) is encoded as the single-channel field is: 128 +
// trunc(128 * d / spread) inside (d > 0), 128 - trunc(128 * |d| / spread) outside, clamped to
// 0..255, with the pixels on either side within one step of the outline settled to 128 inside and
// 127 outside. The channels are encoded without that truncation's bias towards the outline on the
// outside: floor(128 + 128 * d / spread), clamped, so an engine that takes 127.5 as the edge puts it
// where the outline is to within half a step, on both sides alike. Near a curved edge each channel is
// set off by a twelfth of its level curve's curvature, what bilinear interpolation between pixel
// centres takes off on average, so that the magnified outline does not move towards the concave
// side of every curve; a pixel itself never changes side by it.
#pragma once

#include <cstdint>
#include <vector>

#include "settings/glyph_outline.h"

namespace glyphmill {

// How far (pixels) the interpolated median may be on the wrong side of the outline before the
// pixels around are corrected.
inline constexpr double kClashTolerance = 0.1;

struct MultiChannelField {
  int left = 0;  // pixels from the pen position to the field's left column (like GlyphImage)
  int top = 0;   // pixels from the baseline up to the field's top row
  int width = 0;
  int rows = 0;
  std::vector<uint8_t> rgb;    // red, green, blue per pixel, top row first
  std::vector<uint8_t> alpha;  // the true signed distance, one byte per pixel
  int32_t corrected = 0;       // pixels the error correction set to the true distance
};

// The field of `outline` with `spread` pixels on each side of the coverage box (the box FreeType's
// single-channel field of the same glyph has). Empty (width 0) for a glyph without ink.
// `correct` false leaves the error correction out (for comparison).
MultiChannelField ComputeMultiChannelField(const GlyphOutline& outline, uint16_t spread, bool correct = true);

// One signed distance in pixels as a field byte; `inside` decides the settled pixels at the outline.
uint8_t EncodeFieldDistance(double distance, double spread, bool inside);
// One channel's signed pseudo-distance in pixels as a byte (see Encoding above).
uint8_t EncodeChannelDistance(double distance, double spread);

// The median of three bytes.
inline uint8_t Median3(uint8_t a, uint8_t b, uint8_t c) {
  return a < b ? (b < c ? b : (a < c ? c : a)) : (a < c ? a : (b < c ? c : b));
}

}  // namespace glyphmill
