// Character ordering and placement: sorts the cells largest first and asks the packer trees for room.
//
// The sort is a particular quicksort whose tie order decides the packing, and therefore the
// texture, so it is followed exactly. Placement stops at the first cell (in sort order) that fits in
// no tree; the placed count is then that cell's position in the order, and kAllPlaced (65,536) when
// every cell found room. A record is placed when its position in the sort order is below the
// placed count.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "render/partition.h"
#include "render/placed_character.h"
#include "render/progress_reporter.h"

namespace glyphmill {

// The sort key: the larger of the cell's width and height (unsigned, as the sizes are stored).
uint32_t SortKey(const PlacedCharacter& c);

// Indices into `chars`, largest key first, ties in the order the quicksort leaves them.
std::vector<int32_t> SortOrder(const std::vector<PlacedCharacter>& chars);

// The packer trees of a texture: one tree for origins 0..3 (mode = origin), four quadrant trees
// packing towards the centre for Middle (4) and any larger origin value.
std::vector<std::unique_ptr<TPartition>> CreatePackerTrees(int32_t width, int32_t height, uint8_t packOrigin);

// A cell size as the packer takes it: the stored size read as a signed number. Spacing settings can
// drive a size to zero or below; such a cell takes no room (size 0), so a degenerate cell can
// neither push the tree's free space outside the texture nor overlap another cell.
int32_t PackerSize(uint32_t cellSize);

struct PlacementResult {
  std::vector<int32_t> sortOrder;
  int32_t placedCount = kAllPlaced;
};

// Sorts and places every record: reports "Sorting Characters...", then throttled "Placing
// Character (k/n)" reports; writes cellX/cellY of each placed record. `nextTree` is the round-robin
// index of the tree offered the next cell; it advances once per cell whatever the outcome.
PlacementResult PlaceCharacters(std::vector<PlacedCharacter>& chars, std::vector<std::unique_ptr<TPartition>>& trees,
                                int32_t& nextTree, ProgressReporter& progress);

// The placement loop alone, over an order already sorted: offers each cell to the trees as
// PlaceCharacters does (round robin, then every tree in order) and writes cellX/cellY of the ones
// that find room. Returns the placed count (kAllPlaced when every cell found room). Throttled
// "Placing Character (k/n)" reports.
int32_t PlaceInOrder(std::vector<PlacedCharacter>& chars, const std::vector<int32_t>& order,
                     std::vector<std::unique_ptr<TPartition>>& trees, int32_t& nextTree, ProgressReporter& progress);

// One flag per record: placed or not. A record is placed when its position in `sortOrder` lies below
// `placedCount` (kAllPlaced: every record).
std::vector<uint8_t> PlacedFlags(const std::vector<int32_t>& sortOrder, int32_t placedCount, std::size_t charCount);
std::vector<uint8_t> PlacedFlags(const PlacementResult& placement, std::size_t charCount);

}  // namespace glyphmill
