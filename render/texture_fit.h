// Fitted texture size: the smallest texture that holds every cell of a job table, found by placing
// the cells (no drawing) on candidate sizes with the job's own sort, packer trees and origin, so
// the chosen size packs exactly as that size set by hand does.
//
// Candidates are powers of two from 16 upwards, a rectangle twice as wide as tall before the square
// above it: 16x16, 32x16, 32x32, 64x32, 64x64, ... A candidate wider or taller than the maximum ends
// the search. When no candidate holds every cell, the maximum itself is the answer (the job then
// places what it can there and the shortfall is reported as usual).
#pragma once

#include <cstdint>
#include <vector>

#include "render/placed_character.h"

namespace glyphmill {

struct TextureSize {
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const TextureSize&) const = default;
};

// The smallest candidate size.
inline constexpr int32_t kFitSmallestSide = 16;

// The candidate sizes within `maximum`, in the order they are tried.
std::vector<TextureSize> FitCandidates(TextureSize maximum);

// True when every cell finds room on a texture of `size` with `packOrigin`, placed in `order`
// (the job's sort order of `chars`) exactly as the job places them.
bool HoldsEveryCell(const std::vector<PlacedCharacter>& chars, const std::vector<int32_t>& order, TextureSize size,
                    uint8_t packOrigin);

// The first candidate that holds every cell, else `maximum`. Candidates whose free area is smaller
// than the cells' total area, or that are narrower or shorter than the widest or tallest cell, are
// passed over without placing.
TextureSize FitTextureSize(const std::vector<PlacedCharacter>& chars, uint8_t packOrigin, TextureSize maximum);

}  // namespace glyphmill
