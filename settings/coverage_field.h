// The signed distance field FreeType 2.12.1 makes from an 8-bit coverage bitmap (its "bsdf"
// rasteriser behind FT_RENDER_MODE_SDF), computed here value for value and several times faster.
//
// FreeType's field is a distance transform on the coverage: every pixel on the glyph's edge (grey,
// or full next to an empty one) gets a vector to the edge estimated from the coverage gradient,
// every other pixel starts far away, and two sweeps over the bitmap (down, then up) hand each pixel
// its neighbours' vectors plus the step to them when that is shorter. Lengths are FreeType's own
// fixed-point lengths (FT_Vector_Length); most candidate vectors a sweep looks at are longer than
// the pixel's current distance, and that is settled here from the exact squared length without
// computing FreeType's length at all. Only candidates within a few 1/65536 pixel of winning are
// measured as FreeType measures them, so every comparison, and so every value, comes out the same.
//
// Other FreeType versions may compute the field differently; `ReproducesLibraryField` says whether
// the library in use is the one this reproduces, and callers use FreeType's own rasteriser if not.
#pragma once

#include <cstdint>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace glyphmill {

// True when `library` is the FreeType release whose field CoverageDistanceField reproduces.
bool ReproducesLibraryField(FT_Library library);

// The field of a `width` x `rows` coverage bitmap (one byte a pixel, top row first, rows without
// gaps), `spread` pixels (2 to 32) around it: (width + 2 spread) x (rows + 2 spread) bytes, top row
// first, as FreeType writes them into its 255-level grey bitmap (128 on the edge, higher inside).
std::vector<uint8_t> CoverageDistanceField(const uint8_t* coverage, int width, int rows, int spread);

}  // namespace glyphmill
