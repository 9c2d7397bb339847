#include "render/partition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "render/placement.h"
#include "settings/generation_settings.h"
#include "tests/render/reference_packer.h"

namespace glyphmill {
namespace {

TEST(PartitionEdges, ExactFitLeavesTwoEmptyChildren) {
  TPartition root(0, 0, 10, 8, kOriginTopLeft);
  EXPECT_EQ(root.Insert(10, 8), (PackRect{0, 0, 10, 8}));
  ASSERT_TRUE(root.Adjacent && root.Remainder);
  EXPECT_TRUE(root.Adjacent->Width == 0 || root.Adjacent->Height == 0);
  EXPECT_TRUE(root.Remainder->Width == 0 || root.Remainder->Height == 0);
  EXPECT_TRUE(IsNoRoom(root.Insert(1, 1)));
}

TEST(PartitionEdges, FullWidthCellIsRefusedByAnEmptyTexture) {
  auto trees = CreatePackerTrees(128, 128, kOriginTopLeft);
  ASSERT_EQ(trees.size(), 1u);
  EXPECT_EQ(trees[0]->Width, 127) << "the root stops one short of the texture";
  EXPECT_TRUE(IsNoRoom(trees[0]->Insert(128, 1)));
  EXPECT_TRUE(IsNoRoom(trees[0]->Insert(1, 128)));
  EXPECT_FALSE(trees[0]->Used) << "a refused search leaves the root a free leaf";
  EXPECT_EQ(trees[0]->Insert(127, 127), (PackRect{0, 0, 127, 127}));
}

TEST(PartitionEdges, EqualLeftoversCutVertically) {
  TPartition root(0, 0, 100, 100, kOriginTopLeft);
  root.Insert(40, 40);  // dw = dh = 60
  EXPECT_EQ((PackRect{root.Adjacent->Left, root.Adjacent->Top, root.Adjacent->Right, root.Adjacent->Bottom}),
            (PackRect{0, 40, 40, 100}))
      << "Adjacent is the piece below the cell";
  EXPECT_EQ((PackRect{root.Remainder->Left, root.Remainder->Top, root.Remainder->Right, root.Remainder->Bottom}),
            (PackRect{40, 0, 100, 100}))
      << "Remainder is the full-height strip to the right";
}

TEST(PartitionEdges, MoreRoomDownCutsHorizontally) {
  TPartition root(0, 0, 100, 100, kOriginTopLeft);
  root.Insert(60, 20);  // dw = 40 < dh = 80
  EXPECT_EQ(root.Adjacent->Left, 60);
  EXPECT_EQ(root.Adjacent->Bottom, 20);
  EXPECT_EQ(root.Remainder->Top, 20);
  EXPECT_EQ(root.Remainder->Width, 100) << "the big strip keeps the full width";
}

TEST(PartitionEdges, CornersOfTheFourModes) {
  // Mode 2 on an empty 128 x 128 texture puts a 10 x 20 cell at left 117, top 107.
  auto bottomRight = CreatePackerTrees(128, 128, kOriginBottomRight);
  EXPECT_EQ(bottomRight[0]->Insert(10, 20), (PackRect{117, 107, 127, 127}));
  auto topRight = CreatePackerTrees(128, 128, kOriginTopRight);
  EXPECT_EQ(topRight[0]->Insert(10, 20), (PackRect{117, 0, 127, 20}));
  auto bottomLeft = CreatePackerTrees(128, 128, kOriginBottomLeft);
  EXPECT_EQ(bottomLeft[0]->Insert(10, 20), (PackRect{0, 107, 10, 127}));
}

TEST(PartitionEdges, MiddleQuadrantsPackTowardsTheCentre) {
  auto trees = CreatePackerTrees(256, 256, kOriginMiddle);
  ASSERT_EQ(trees.size(), 4u);
  const PackRect upperLeft = trees[0]->Insert(10, 12);
  EXPECT_EQ(upperLeft.right, 127);
  EXPECT_EQ(upperLeft.bottom, 127);
  const PackRect lowerRight = trees[3]->Insert(10, 12);
  EXPECT_EQ(lowerRight.left, 128);
  EXPECT_EQ(lowerRight.top, 128);
  EXPECT_EQ(trees[2]->Bottom, 256) << "the lower-left quadrant reaches one row further";
  EXPECT_EQ(CreatePackerTrees(256, 256, 9).size(), 4u) << "any origin above Middle packs from the middle";
}

TEST(PartitionEdges, RefusedSearchLeavesTheTreeUnchanged) {
  TPartition withFailure(0, 0, 200, 150, kOriginTopLeft);
  TPartition without(0, 0, 200, 150, kOriginTopLeft);
  const int sizes[][2] = {{50, 40}, {30, 70}, {90, 10}, {20, 20}, {60, 60}, {5, 100}, {45, 45}};
  for (auto [w, h] : sizes) {
    EXPECT_TRUE(IsNoRoom(withFailure.Insert(201, 5)));
    EXPECT_TRUE(IsNoRoom(withFailure.Insert(5, 151)));
    EXPECT_EQ(withFailure.Insert(w, h), without.Insert(w, h));
  }
}

bool Overlap(const PackRect& a, const PackRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(PartitionProperty, RandomCellsMatchThePlainSearchAndNeverOverlap) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 60; ++round) {
    const int32_t W = std::uniform_int_distribution<int32_t>(1, 400)(rng);
    const int32_t H = std::uniform_int_distribution<int32_t>(1, 400)(rng);
    const int32_t mode = round % 4;
    TPartition fast(0, 0, W, H, mode);
    testing::ReferenceNode plain(0, 0, W, H, mode);
    const int32_t maxSide = std::uniform_int_distribution<int32_t>(1, 80)(rng);
    std::uniform_int_distribution<int32_t> side(0, maxSide);
    std::vector<PackRect> placed;
    for (int i = 0; i < 400; ++i) {
      const int32_t w = side(rng), h = side(rng);
      const PackRect got = fast.Insert(w, h);
      ASSERT_EQ(got, plain.insert(w, h)) << "round " << round << " cell " << i;
      if (IsNoRoom(got)) continue;
      EXPECT_EQ(got.right - got.left, w);
      EXPECT_EQ(got.bottom - got.top, h);
      EXPECT_TRUE(got.left >= 0 && got.top >= 0 && got.right <= W && got.bottom <= H);
      if (w == 0 || h == 0) continue;  // an empty cell overlaps nothing
      for (const PackRect& other : placed) ASSERT_FALSE(Overlap(got, other)) << "round " << round;
      placed.push_back(got);
    }
  }
}

// Reference roots with the same rectangles and modes as the packer trees of a texture.
std::vector<std::unique_ptr<testing::ReferenceNode>> ReferenceTrees(
    const std::vector<std::unique_ptr<TPartition>>& trees) {
  std::vector<std::unique_ptr<testing::ReferenceNode>> refs;
  for (const auto& t : trees) {
    refs.push_back(std::make_unique<testing::ReferenceNode>(t->Left, t->Top, t->Right, t->Bottom, t->Mode));
  }
  return refs;
}

TEST(PartitionProperty, ThousandsOfCellsMatchThePlainSearchForEveryOrigin) {
  // Many cells make long rows of small leftover pieces, which is where a shortcut in the search
  // would pick a later leaf than the first fit. Sizes mix tiny, medium and large cells, cells larger
  // than the texture, and (rarely) cells without size, in random and in largest-first order.
  std::mt19937 rng(777);
  for (uint8_t origin = 0; origin <= 4; ++origin) {
    for (bool sorted : {false, true}) {
      const int32_t W = std::uniform_int_distribution<int32_t>(500, 1300)(rng);
      const int32_t H = std::uniform_int_distribution<int32_t>(500, 1300)(rng);
      auto trees = CreatePackerTrees(W, H, origin);
      auto refs = ReferenceTrees(trees);
      std::vector<std::pair<int32_t, int32_t>> cells;
      for (int i = 0; i < 5000; ++i) {
        const int kind = std::uniform_int_distribution<int>(0, 199)(rng);
        if (kind == 0) {
          cells.emplace_back(W, 1);  // wider than any tree
          continue;
        }
        const int32_t hi = kind < 100 ? 12 : (kind < 190 ? 40 : (kind < 198 ? 100 : 3));
        std::uniform_int_distribution<int32_t> side(kind < 198 ? 1 : 0, hi);
        cells.emplace_back(side(rng), side(rng));
      }
      if (sorted) {
        std::stable_sort(cells.begin(), cells.end(), [](const auto& a, const auto& b) {
          return std::max(a.first, a.second) > std::max(b.first, b.second);
        });
      }
      const int32_t treeCount = static_cast<int32_t>(trees.size());
      int32_t next = 0, placedCount = 0;
      for (std::size_t i = 0; i < cells.size(); ++i) {
        const auto [w, h] = cells[i];
        // Round robin with fallback, as placement offers cells to the trees.
        PackRect got = trees[next]->Insert(w, h);
        PackRect want = refs[next]->insert(w, h);
        ASSERT_EQ(got, want) << "origin " << int(origin) << " cell " << i << " tree " << next;
        next = (next + 1) % treeCount;
        for (int32_t t = 0; IsNoRoom(got) && treeCount > 1 && t < treeCount; ++t) {
          got = trees[t]->Insert(w, h);
          want = refs[t]->insert(w, h);
          ASSERT_EQ(got, want) << "origin " << int(origin) << " cell " << i << " fallback tree " << t;
        }
        if (!IsNoRoom(got)) ++placedCount;
      }
      EXPECT_GT(placedCount, 500) << "the texture took a good share of the cells";
      EXPECT_LT(placedCount, 5000) << "and ran out of room, so refusals were compared too";
    }
  }
}

TEST(PartitionProperty, CellsWithoutPositiveSizeMatchThePlainSearch) {
  // Zero and negative sides fit leaves of no size, and negative ones make children larger than
  // their node; the first fit must still be the plain walk's.
  std::mt19937 rng(4242);
  for (int round = 0; round < 40; ++round) {
    const int32_t mode = round % 4;
    TPartition fast(0, 0, 300, 200, mode);
    testing::ReferenceNode plain(0, 0, 300, 200, mode);
    std::uniform_int_distribution<int32_t> side(-3, 40);
    for (int i = 0; i < 300; ++i) {
      const int32_t w = side(rng), h = side(rng);
      ASSERT_EQ(fast.Insert(w, h), plain.insert(w, h)) << "round " << round << " cell " << i;
    }
  }
}

// Follows the same random path (Adjacent or Remainder) down both trees; stops at a leaf.
std::pair<TPartition*, testing::ReferenceNode*> SameNode(TPartition* a, testing::ReferenceNode* b, std::mt19937& rng) {
  const int steps = std::uniform_int_distribution<int>(0, 12)(rng);
  for (int s = 0; s < steps && a->Used; ++s) {
    const bool adjacent = std::uniform_int_distribution<int>(0, 2)(rng) == 0;
    a = adjacent ? a->Adjacent.get() : a->Remainder.get();
    b = adjacent ? b->adjacent.get() : b->remainder.get();
  }
  return {a, b};
}

TEST(PartitionProperty, InsertOnInnerNodesSearchesOnlyTheirSubtree) {
  // Insert may be asked of any node: it searches that node's subtree only, and later searches from
  // the root still see every change.
  std::mt19937 rng(99);
  for (int round = 0; round < 30; ++round) {
    const int32_t mode = round % 4;
    TPartition fast(0, 0, 400, 300, mode);
    testing::ReferenceNode plain(0, 0, 400, 300, mode);
    std::uniform_int_distribution<int32_t> side(1, 30);
    for (int i = 0; i < 400; ++i) {
      const int32_t w = side(rng), h = side(rng);
      auto [node, ref] = SameNode(&fast, &plain, rng);
      ASSERT_EQ(node->Insert(w, h), ref->insert(w, h)) << "round " << round << " cell " << i;
    }
  }
}

TEST(PartitionProperty, HandBuiltTreesAreSearchedInDepthFirstOrder) {
  // A tree put together by hand: the first Insert lists its leaves. Asking a child first and the
  // root afterwards must give the plain walk's answers throughout.
  auto piece = [](int32_t l, int32_t t, int32_t r, int32_t b) {
    return std::make_unique<TPartition>(l, t, r, b, kOriginTopLeft);
  };
  auto refPiece = [](int32_t l, int32_t t, int32_t r, int32_t b) {
    return std::make_unique<testing::ReferenceNode>(l, t, r, b, kOriginTopLeft);
  };
  TPartition fast(0, 0, 100, 100, kOriginTopLeft);
  fast.Used = true;
  fast.Adjacent = piece(0, 0, 50, 20);
  fast.Remainder = piece(0, 20, 100, 100);
  fast.Remainder->Used = true;
  fast.Remainder->Adjacent = piece(0, 20, 30, 100);
  fast.Remainder->Remainder = piece(30, 20, 100, 100);
  testing::ReferenceNode plain(0, 0, 100, 100, kOriginTopLeft);
  plain.used = true;
  plain.adjacent = refPiece(0, 0, 50, 20);
  plain.remainder = refPiece(0, 20, 100, 100);
  plain.remainder->used = true;
  plain.remainder->adjacent = refPiece(0, 20, 30, 100);
  plain.remainder->remainder = refPiece(30, 20, 100, 100);
  EXPECT_EQ(fast.Remainder->Insert(25, 25), plain.remainder->insert(25, 25));
  EXPECT_EQ(fast.Remainder->Insert(25, 25), (PackRect{0, 45, 25, 70})) << "still inside the child's first piece";
  plain.remainder->insert(25, 25);
  const int sizes[][2] = {{40, 15}, {60, 60}, {10, 10}, {50, 20}, {5, 80}, {20, 20}, {70, 10}, {3, 3}};
  for (auto [w, h] : sizes) EXPECT_EQ(fast.Insert(w, h), plain.insert(w, h)) << w << " x " << h;
  EXPECT_EQ(fast.Remainder->Insert(4, 4), plain.remainder->insert(4, 4)) << "the child again, after the root";
  EXPECT_EQ(fast.Insert(4, 4), plain.insert(4, 4));
}

TEST(PartitionProperty, LongChainsOfCellsStayFirstFit) {
  // A one-pixel column chains the tree one level per cell; each cell lands right below the last.
  TPartition column(0, 0, 1, 60000, kOriginTopLeft);
  for (int32_t k = 0; k < 60000; ++k) {
    const PackRect got = column.Insert(1, 1);
    ASSERT_EQ(got, (PackRect{0, k, 1, k + 1})) << k;
  }
  EXPECT_TRUE(IsNoRoom(column.Insert(1, 1)));
  EXPECT_EQ(column.Insert(0, 0), (PackRect{1, 0, 1, 0})) << "an empty cell fits the first empty piece";
}

TEST(PartitionProperty, DeepTreesAreReleasedWithoutExhaustingTheStack) {
  // A million-level chain (degenerate cells can chain a tree one level per cell): releasing it
  // recursively would need far more stack than a thread has.
  auto root = std::make_unique<TPartition>(0, 0, 1, 2000000, kOriginTopLeft);
  TPartition* node = root.get();
  for (int i = 0; i < 1000000; ++i) {
    node->Used = true;
    node->Adjacent = std::make_unique<TPartition>(1, i, 1, i + 1, kOriginTopLeft);
    node->Remainder = std::make_unique<TPartition>(0, i + 1, 1, 2000000, kOriginTopLeft);
    node = node->Remainder.get();
  }
  root.reset();
  SUCCEED();
}

}  // namespace
}  // namespace glyphmill
