#include "render/placement.h"

#include <algorithm>
#include <utility>

#include "render/render_texts.h"

namespace glyphmill {

uint32_t SortKey(const PlacedCharacter& c) { return std::max(c.cellWidth, c.cellHeight); }

namespace {

// The running minimum of the keys of order[L..R] (prefixMin[q - L]: the least key of L..q); returns
// the largest key of the range.
uint32_t ScanKeys(const std::vector<int32_t>& order, const std::vector<uint32_t>& key, int64_t L, int64_t R,
                  std::vector<uint32_t>& prefixMin) {
  prefixMin.resize(static_cast<std::size_t>(R - L + 1));
  uint32_t largest = key[order[L]];
  prefixMin[0] = key[order[L]];
  for (int64_t q = L + 1; q <= R; ++q) {
    prefixMin[q - L] = std::min(prefixMin[q - L - 1], key[order[q]]);
    largest = std::max(largest, key[order[q]]);
  }
  return largest;
}

// One partition of order[L..R] around the last element's key: larger keys before it, the rest
// after it. Returns the pivot's final position.
int64_t PartitionAroundLast(std::vector<int32_t>& order, const std::vector<uint32_t>& key, int64_t L, int64_t R) {
  auto k = [&](int64_t pos) { return key[order[pos]]; };
  const uint32_t p = k(R);
  int64_t i = L, j = R;
  while (j > i) {
    while (k(i) > p) ++i;
    while (i < j && !(k(j) > p)) --j;
    if (i < j) std::swap(order[i], order[j]);
  }
  std::swap(order[i], order[R]);
  return i;
}

// Sort(L, R) with the last element as pivot and strict comparisons, exactly as the packing order
// depends on it. The two parts of a partition are disjoint, so the order in which they are sorted
// does not change the result: the smaller part is recursed into and the larger one looped on,
// which bounds the stack to log2(n) frames.
//
// Two cases cost a whole scan of the range per element and make this quicksort quadratic on
// inputs fonts really give (thousands of equal cells of a monospaced or CJK font, runs of falling
// sizes); both have a result known without the scans, which is produced directly:
// - the pivot is strictly smaller than every other key: nothing moves, then Sort(L, R - 1);
// - the pivot is the range's largest key: nothing moves but the pivot, swapped to position L,
//   then Sort(L + 1, R), whose pivot is the element that was at L.
void QuickSort(std::vector<int32_t>& order, const std::vector<uint32_t>& key, int64_t L, int64_t R,
               std::vector<uint32_t>& prefixMin) {
  auto k = [&](int64_t pos) { return key[order[pos]]; };
  while (R > L) {
    // Pivots below everything before them stay where they are.
    const uint32_t largest = ScanKeys(order, key, L, R, prefixMin);
    while (R > L && k(R) < prefixMin[R - 1 - L]) --R;
    if (R <= L) return;
    // A pivot equal to the largest key goes to the front; the next pivot is what stood there.
    if (k(R) == largest) {
      while (R > L && k(R) == largest) {
        std::swap(order[L], order[R]);
        ++L;
      }
      continue;
    }
    const int64_t i = PartitionAroundLast(order, key, L, R);
    if (i - L < R - i) {
      QuickSort(order, key, L, i - 1, prefixMin);
      L = i + 1;
    } else {
      QuickSort(order, key, i + 1, R, prefixMin);
      R = i - 1;
    }
  }
}

}  // namespace

std::vector<int32_t> SortOrder(const std::vector<PlacedCharacter>& chars) {
  std::vector<int32_t> order(chars.size());
  std::vector<uint32_t> key(chars.size());
  for (std::size_t i = 0; i < chars.size(); ++i) {
    order[i] = static_cast<int32_t>(i);
    key[i] = SortKey(chars[i]);
  }
  std::vector<uint32_t> prefixMin;
  if (!order.empty()) QuickSort(order, key, 0, static_cast<int64_t>(order.size()) - 1, prefixMin);
  return order;
}

std::vector<std::unique_ptr<TPartition>> CreatePackerTrees(int32_t W, int32_t H, uint8_t packOrigin) {
  std::vector<std::unique_ptr<TPartition>> trees;
  if (packOrigin < kOriginMiddle) {
    // The root stops one short of the texture: the last column and row are never covered.
    trees.push_back(std::make_unique<TPartition>(0, 0, W - 1, H - 1, packOrigin));
    return trees;
  }
  const int32_t W2 = W / 2, H2 = H / 2;
  trees.push_back(std::make_unique<TPartition>(0, 0, W2 - 1, H2 - 1, kOriginBottomRight));  // upper left
  trees.push_back(std::make_unique<TPartition>(W2, 0, W - 1, H2 - 1, kOriginBottomLeft));   // upper right
  // The lower-left quadrant reaches down to H, one row further than the others.
  trees.push_back(std::make_unique<TPartition>(0, H2, W2 - 1, H, kOriginTopRight));     // lower left
  trees.push_back(std::make_unique<TPartition>(W2, H2, W - 1, H - 1, kOriginTopLeft));  // lower right
  return trees;
}

int32_t PackerSize(uint32_t cellSize) { return std::max(static_cast<int32_t>(cellSize), 0); }

namespace {

// Offers a cell to the tree whose turn it is, then (several trees) to every tree in order; the
// round robin advances once whatever the outcome.
PackRect OfferCell(std::vector<std::unique_ptr<TPartition>>& trees, int32_t& nextTree, int32_t w, int32_t h) {
  const int32_t treeCount = static_cast<int32_t>(trees.size());
  PackRect room = trees[nextTree]->Insert(w, h);
  nextTree = (nextTree + 1) % treeCount;
  // With several trees a refused cell may still go to any tree with room, tried in order.
  for (int32_t t = 0; IsNoRoom(room) && treeCount > 1 && t < treeCount; ++t) room = trees[t]->Insert(w, h);
  return room;
}

}  // namespace

PagedPlacement PlaceInOrderOnPages(std::vector<PlacedCharacter>& chars, const std::vector<int32_t>& order,
                                   std::vector<std::unique_ptr<TPartition>>& trees, int32_t& nextTree,
                                   const PageLayout& layout, ProgressReporter& progress) {
  const int32_t n = static_cast<int32_t>(order.size());
  PagedPlacement result;
  if (trees.empty()) return result;
  int32_t page = 0;
  for (int32_t k = 0; k < n; ++k) {
    PlacedCharacter& c = chars[order[k]];
    if (progress.due()) progress.report(PercentOf(k, n), render_text::PlacingCharacter(k, n));
    const int32_t w = PackerSize(c.cellWidth), h = PackerSize(c.cellHeight);
    PackRect room = OfferCell(trees, nextTree, w, h);
    if (IsNoRoom(room) && page + 1 < layout.maxPages) {
      // The next page opens only for a cell it can take: one too large for any page ends the
      // placement without an empty page.
      std::vector<std::unique_ptr<TPartition>> fresh =
          CreatePackerTrees(layout.width, layout.height, layout.packOrigin);
      int32_t freshNext = 0;
      room = OfferCell(fresh, freshNext, w, h);
      if (!IsNoRoom(room)) {
        trees = std::move(fresh);
        nextTree = freshNext;
        ++page;
        result.pageCount = page + 1;
      }
    }
    if (IsNoRoom(room)) {
      result.placedCount = k;
      return result;
    }
    c.cellX = room.left;
    c.cellY = room.top;
    c.page = static_cast<uint16_t>(page);
  }
  return result;
}

int32_t PlaceInOrder(std::vector<PlacedCharacter>& chars, const std::vector<int32_t>& order,
                     std::vector<std::unique_ptr<TPartition>>& trees, int32_t& nextTree, ProgressReporter& progress) {
  return PlaceInOrderOnPages(chars, order, trees, nextTree, PageLayout{}, progress).placedCount;
}

PlacementResult PlaceCharacters(std::vector<PlacedCharacter>& chars, std::vector<std::unique_ptr<TPartition>>& trees,
                                int32_t& nextTree, ProgressReporter& progress) {
  return PlaceCharactersOnPages(chars, trees, nextTree, PageLayout{}, progress);
}

PlacementResult PlaceCharactersOnPages(std::vector<PlacedCharacter>& chars,
                                       std::vector<std::unique_ptr<TPartition>>& trees, int32_t& nextTree,
                                       const PageLayout& layout, ProgressReporter& progress) {
  PlacementResult result;
  progress.report(0, render_text::kSortingCharacters);
  result.sortOrder = SortOrder(chars);
  const PagedPlacement placed = PlaceInOrderOnPages(chars, result.sortOrder, trees, nextTree, layout, progress);
  result.placedCount = placed.placedCount;
  result.pageCount = placed.pageCount;
  return result;
}

std::vector<uint8_t> PlacedOnPage(const std::vector<PlacedCharacter>& chars, const std::vector<uint8_t>& placed,
                                  int32_t page) {
  std::vector<uint8_t> onPage(chars.size(), 0);
  for (std::size_t i = 0; i < chars.size() && i < placed.size(); ++i)
    onPage[i] = placed[i] != 0 && chars[i].page == page ? 1 : 0;
  return onPage;
}

std::vector<uint8_t> PlacedFlags(const std::vector<int32_t>& sortOrder, int32_t placedCount, std::size_t charCount) {
  std::vector<uint8_t> placed(charCount, 0);
  const std::size_t count = std::min<std::size_t>(sortOrder.size(), static_cast<std::size_t>(std::max(placedCount, 0)));
  for (std::size_t k = 0; k < count; ++k) placed[sortOrder[k]] = 1;
  return placed;
}

std::vector<uint8_t> PlacedFlags(const PlacementResult& placement, std::size_t charCount) {
  return PlacedFlags(placement.sortOrder, placement.placedCount, charCount);
}

}  // namespace glyphmill
