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

namespace {

// What any texture that holds every cell must offer: the widest and the tallest cell, and room
// for the cells' total area (cells never overlap).
struct CellExtent {
  int64_t widest = 0;
  int64_t tallest = 0;
  int64_t area = 0;

  explicit CellExtent(const std::vector<PlacedCharacter>& chars) {
    for (const PlacedCharacter& c : chars) {
      const int64_t w = PackerSize(c.cellWidth), h = PackerSize(c.cellHeight);
      widest = std::max(widest, w);
      tallest = std::max(tallest, h);
      // Sides beyond any texture side are capped here (the side test refuses them anyway), so
      // the sum cannot overflow even for 65,536 cells.
      area += std::min<int64_t>(w, kMaxSideForArea) * std::min<int64_t>(h, kMaxSideForArea);
    }
  }

  // False when `pages` pages of `size` cannot hold the cells whatever the packing. A cell never
  // reaches the last column or row of the texture.
  bool mayFit(TextureSize size, int64_t pages) const {
    if (widest > size.width - 1 || tallest > size.height - 1) return false;
    return area <= pages * int64_t{size.width - 1} * (size.height - 1);
  }
};

}  // namespace

TextureSize FitTextureSize(const std::vector<PlacedCharacter>& chars, uint8_t packOrigin, TextureSize maximum) {
  const std::vector<int32_t> order = SortOrder(chars);
  const CellExtent extent(chars);
  for (const TextureSize& size : FitCandidates(maximum)) {
    if (!extent.mayFit(size, 1)) continue;
    if (HoldsEveryCell(chars, order, size, packOrigin)) return size;
  }
  return maximum;
}

int32_t PagesNeeded(const std::vector<PlacedCharacter>& chars, const std::vector<int32_t>& order, TextureSize size,
                    uint8_t packOrigin, int32_t maxPages) {
  std::vector<std::unique_ptr<TPartition>> trees = CreatePackerTrees(size.width, size.height, packOrigin);
  std::vector<PlacedCharacter> scratch = chars;  // placement writes positions; the caller's table stays
  int32_t nextTree = 0;
  ProgressReporter silent;
  const PageLayout layout{size.width, size.height, packOrigin, maxPages};
  const PagedPlacement placed = PlaceInOrderOnPages(scratch, order, trees, nextTree, layout, silent);
  return placed.placedCount == kAllPlaced ? placed.pageCount : 0;
}

TextureSize FitPagedTextureSize(const std::vector<PlacedCharacter>& chars, uint8_t packOrigin, TextureSize maximum,
                                int32_t maxPages) {
  if (maxPages <= 1) return FitTextureSize(chars, packOrigin, maximum);
  const std::vector<int32_t> order = SortOrder(chars);
  const CellExtent extent(chars);
  // The fewest pages any allowed size can do with is what the maximum needs; when even the
  // maximum cannot hold everything, it is the answer (the shortfall is reported as usual).
  const int32_t fewest =
      extent.mayFit(maximum, maxPages) ? PagesNeeded(chars, order, maximum, packOrigin, maxPages) : 0;
  if (fewest == 0) return maximum;
  for (const TextureSize& size : FitCandidates(maximum)) {
    if (!extent.mayFit(size, fewest)) continue;
    const int32_t pages = PagesNeeded(chars, order, size, packOrigin, fewest);
    if (pages > 0) return size;
  }
  return maximum;
}

int32_t CropPage(std::vector<PlacedCharacter>& chars, const std::vector<int32_t>& order, int32_t placedCount,
                 int32_t page, int32_t width, int32_t height, uint8_t packOrigin) {
  std::vector<int32_t> cells;
  const std::size_t placed = std::min<std::size_t>(order.size(), static_cast<std::size_t>(std::max(placedCount, 0)));
  for (std::size_t k = 0; k < placed; ++k)
    if (chars[order[k]].page == page) cells.push_back(order[k]);
  if (cells.empty()) return height;
  for (int32_t tried = kFitSmallestSide; tried < height; tried *= 2) {
    std::vector<PlacedCharacter> scratch = chars;
    std::vector<std::unique_ptr<TPartition>> trees = CreatePackerTrees(width, tried, packOrigin);
    int32_t nextTree = 0;
    ProgressReporter silent;
    if (PlaceInOrder(scratch, cells, trees, nextTree, silent) != kAllPlaced) continue;
    for (int32_t i : cells) {
      chars[i].cellX = scratch[i].cellX;
      chars[i].cellY = scratch[i].cellY;
    }
    return tried;
  }
  return height;
}

}  // namespace glyphmill
