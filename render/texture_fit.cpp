#include "render/texture_fit.h"

#include <algorithm>

#include "render/partition.h"
#include "render/placement.h"

namespace glyphmill {

namespace {
constexpr int64_t kMaxSideForArea = int64_t{1} << 16;
}  // namespace

std::vector<TextureSize> FitCandidates(TextureSize maximum) {
  std::vector<TextureSize> sizes;
  TextureSize size{kFitSmallestSide, kFitSmallestSide};
  // Both sides only grow, so the first candidate beyond the maximum ends the list.
  while (size.width <= maximum.width && size.height <= maximum.height) {
    sizes.push_back(size);
    if (size.width == size.height) {
      size.width *= 2;
    } else {
      size.height *= 2;
    }
  }
  return sizes;
}

bool HoldsEveryCell(const std::vector<PlacedCharacter>& chars, const std::vector<int32_t>& order, TextureSize size,
                    uint8_t packOrigin) {
  std::vector<std::unique_ptr<TPartition>> trees = CreatePackerTrees(size.width, size.height, packOrigin);
  std::vector<PlacedCharacter> scratch = chars;  // placement writes positions; the caller's table stays
  int32_t nextTree = 0;
  ProgressReporter silent;
  return PlaceInOrder(scratch, order, trees, nextTree, silent) == kAllPlaced;
}

TextureSize FitTextureSize(const std::vector<PlacedCharacter>& chars, uint8_t packOrigin, TextureSize maximum) {
  const std::vector<int32_t> order = SortOrder(chars);
  // What any texture that holds every cell must offer: the widest and the tallest cell, and room
  // for the cells' total area (cells never overlap).
  int64_t widest = 0, tallest = 0, area = 0;
  for (const PlacedCharacter& c : chars) {
    const int64_t w = PackerSize(c.cellWidth), h = PackerSize(c.cellHeight);
    widest = std::max(widest, w);
    tallest = std::max(tallest, h);
    // Sides beyond any texture side are capped here (the side test above refuses them anyway), so
    // the sum cannot overflow even for 65,536 cells.
    area += std::min<int64_t>(w, kMaxSideForArea) * std::min<int64_t>(h, kMaxSideForArea);
  }
  for (const TextureSize& size : FitCandidates(maximum)) {
    // A cell never reaches the last column or row of the texture.
    if (widest > size.width - 1 || tallest > size.height - 1) continue;
    if (area > int64_t{size.width - 1} * (size.height - 1)) continue;
    if (HoldsEveryCell(chars, order, size, packOrigin)) return size;
  }
  return maximum;
}

}  // namespace glyphmill
