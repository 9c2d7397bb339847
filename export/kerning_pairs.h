// Kerning pairs of a font at the generated pixel size, for the host's font-info service.
//
// A pair's amount is what the font's own layout does to it: the two-character string is shaped
// with HarfBuzz (OpenType GPOS "kern" and the other default positioning features, or the legacy
// 'kern' table for fonts without GPOS kerning; ligatures and contextual alternates off), and the
// distance from the first glyph to the second is compared with the first glyph's plain advance.
// Pairs whose glyphs the shaping replaced are left out: the texture holds the plain glyphs.
//
// Cost: shaping every ordered pair of a large selection would be quadratic, so the candidates are
// read from the font's kerning data first and only they are shaped:
// - GPOS: the lookups of the "kern" and "dist" features. Pair adjustment subtables (also inside
//   extension subtables) give their pairs directly: format 1 lists each first glyph's second
//   glyphs, format 2 pairs the first glyphs of its coverage with every second glyph of each class
//   that has a nonzero adjustment (class 0 being every glyph the class definition leaves out).
//   Any other lookup type pairs every selected glyph it names with every other one it names.
// - Otherwise the legacy 'kern' table: the pairs of its format 0 subtables. A 'kern' table in
//   another form (or an AAT 'kerx') cannot be read here, so every selected pair is shaped.
// Every other pair has no adjustment, so shaping it would give 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "glyphmill/host.h"

namespace glyphmill {

// The whole selection takes part.
inline constexpr std::size_t kKerningCharacterLimit = std::numeric_limits<std::size_t>::max();

struct KerningSource {
  std::string fontPath;  // the font file
  int faceIndex = 0;
  int emPixels = 16;  // the em size the glyphs were rendered at
};

// Nonzero pairs among `codeUnits` (the selection in ascending order), at most the first `limit`
// of them taking part, in pixels at the em size (rounded, halves to even), sorted by first, then
// second. Empty when the font file cannot be read. A pure function of its arguments.
std::vector<GlyphmillKerningPair> ComputeKerningPairs(const KerningSource& source,
                                                      const std::vector<uint16_t>& codeUnits,
                                                      std::size_t limit = kKerningCharacterLimit);

}  // namespace glyphmill
