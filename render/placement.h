// Character ordering and placement: sorts the cells largest first and asks the packer trees for room.
//
// The sort is a particular quicksort whose tie order decides the packing, and therefore the
// texture, so it is followed exactly. Placement stops at the first cell (in sort order) that fits in
// no tree; the placed count is then that cell's position in the order, and kAllPlaced (65,536) when
// every cell found room. A record is placed when its position in the sort order is below the
// placed count.
//
// Pages: when more than one texture page is allowed, a cell that fits in no tree of the page being
// filled goes to a next page of the same size, with fresh trees (the round robin starts again at
// tree 0), and every later cell is offered to that page only: the pages fill one after another in
// sort order, each packed by the same rules as the first. Placement stops at the first cell that
// fits neither the page being filled nor a fresh page, or that fits the page being filled no more
// when the most pages are in use. Page 0 is exactly the texture a one-page placement fills.
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

// The pages a placement may fill: every page width x height, packed from `packOrigin`, at most
// `maxPages` of them (1: the classic single texture).
struct PageLayout {
  int32_t width = 0;
  int32_t height = 0;
  uint8_t packOrigin = 0;
  int32_t maxPages = 1;
};

struct PlacementResult {
  std::vector<int32_t> sortOrder;
  int32_t placedCount = kAllPlaced;
  int32_t pageCount = 1;  // pages holding placed cells; 1 also when nothing was placed
};

// What a placement over an order came to: the placed count and the pages it filled.
struct PagedPlacement {
  int32_t placedCount = kAllPlaced;
  int32_t pageCount = 1;
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

// The placement loop over pages: as PlaceInOrder on `trees` (page 0), then on fresh trees of
// `layout` for each further page, up to layout.maxPages. Writes cellX/cellY and page of every
// placed record; `trees` and `nextTree` end as the last page's.
PagedPlacement PlaceInOrderOnPages(std::vector<PlacedCharacter>& chars, const std::vector<int32_t>& order,
                                   std::vector<std::unique_ptr<TPartition>>& trees, int32_t& nextTree,
                                   const PageLayout& layout, ProgressReporter& progress);

// PlaceCharacters over pages: sorts, then PlaceInOrderOnPages.
PlacementResult PlaceCharactersOnPages(std::vector<PlacedCharacter>& chars,
                                       std::vector<std::unique_ptr<TPartition>>& trees, int32_t& nextTree,
                                       const PageLayout& layout, ProgressReporter& progress);

// One flag per record: placed on page `page` or not.
std::vector<uint8_t> PlacedOnPage(const std::vector<PlacedCharacter>& chars, const std::vector<uint8_t>& placed,
                                  int32_t page);

// One flag per record: placed or not. A record is placed when its position in `sortOrder` lies below
// `placedCount` (kAllPlaced: every record).
std::vector<uint8_t> PlacedFlags(const std::vector<int32_t>& sortOrder, int32_t placedCount, std::size_t charCount);
std::vector<uint8_t> PlacedFlags(const PlacementResult& placement, std::size_t charCount);

}  // namespace glyphmill
