// Kerning pairs of a font at the generated pixel size, for the host's font-info service.
//
// A pair's amount is what the font's own layout does to it: each two-character string is shaped
// with HarfBuzz (OpenType GPOS "kern" and the other default positioning features, or the legacy
// 'kern' table for fonts without GPOS; ligatures and contextual alternates off), and the distance
// from the first glyph to the second is compared with the first glyph's plain advance. Pairs whose
// glyphs the shaping replaced are left out: the texture holds the plain glyphs.
//
// Cost: shaping every ordered pair is quadratic, so only the first kKerningCharacterLimit
// characters of the selection (in ascending code unit, the table's order) take part; characters
// after them get no pairs. For fonts with GPOS, only characters whose glyphs occur in a "kern"
// lookup are paired at all, which cuts the work to the kerned part of the font.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "glyphmill/host.h"

namespace glyphmill {

inline constexpr std::size_t kKerningCharacterLimit = 1000;

struct KerningSource {
  std::string fontPath;  // the font file
  int faceIndex = 0;
  int emPixels = 16;     // the em size the glyphs were rendered at
};

// Nonzero pairs among `codeUnits` (the selection in ascending order), at most the first `limit`
// of them taking part, in pixels at the em size (rounded, halves to even), sorted by first, then
// second. Empty when the font file cannot be read.
std::vector<GlyphmillKerningPair> ComputeKerningPairs(const KerningSource& source,
                                                      const std::vector<uint16_t>& codeUnits,
                                                      std::size_t limit = kKerningCharacterLimit);

}  // namespace glyphmill
