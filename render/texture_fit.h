// Fitted texture size: the smallest texture that holds every cell of a job table, found by placing
// the cells (no drawing) on candidate sizes with the job's own sort, packer trees and origin, so
// the chosen size packs exactly as that size set by hand does.
//
// Candidates are powers of two from 16 upwards, a rectangle twice as wide as tall before the square
// above it: 16x16, 32x16, 32x32, 64x32, 64x64, ... A candidate wider or taller than the maximum ends
// the search. When no candidate holds every cell, the maximum itself is the answer (the job then
// places what it can there and the shortfall is reported as usual).
//
// With more than one page allowed, the size is the one that holds every cell in the fewest pages:
// the fewest the maximum needs, at the smallest candidate that needs no more. The last of several
// pages is then cropped to the smallest power-of-two height that holds its cells, packed again by
// the same rules; the other pages stay whole.
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

// The pages every cell needs at `size` (placed in `order` as the job places them), or 0 when they
// do not all fit in `maxPages` pages.
int32_t PagesNeeded(const std::vector<PlacedCharacter>& chars, const std::vector<int32_t>& order, TextureSize size,
                    uint8_t packOrigin, int32_t maxPages);

// FitTextureSize when up to `maxPages` pages may be filled: the first candidate (or the maximum)
// whose page count is the fewest the maximum needs. One page: exactly FitTextureSize.
TextureSize FitPagedTextureSize(const std::vector<PlacedCharacter>& chars, uint8_t packOrigin, TextureSize maximum,
                                int32_t maxPages);

// Crops page `page` of a placement: its cells (the records of `order` placed on it, in that order)
// are packed again on fresh trees `width` wide and 16, 32, ... high, below `height`; the first
// height that takes them all is kept, and their cellX/cellY move to it. Returns the page's height:
// that one, or `height` when no lower power of two holds the cells.
int32_t CropPage(std::vector<PlacedCharacter>& chars, const std::vector<int32_t>& order, int32_t placedCount,
                 int32_t page, int32_t width, int32_t height, uint8_t packOrigin);

}  // namespace glyphmill
