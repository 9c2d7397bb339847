#include "render/partition.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "render/placement.h"
#include "settings/generation_settings.h"
#include "tests/render/reference_packer.h"

namespace glyphmill {
namespace {

TEST(PartitionEdges, ExactFitLeavesTwoEmptyChildren) {
  TPartition root(0, 0, 10, 8, kPackTopLeft);
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
  TPartition root(0, 0, 100, 100, kPackTopLeft);
  root.Insert(40, 40);  // dw = dh = 60
  EXPECT_EQ((PackRect{root.Adjacent->Left, root.Adjacent->Top, root.Adjacent->Right, root.Adjacent->Bottom}),
            (PackRect{0, 40, 40, 100}))
      << "Adjacent is the piece below the cell";
  EXPECT_EQ((PackRect{root.Remainder->Left, root.Remainder->Top, root.Remainder->Right, root.Remainder->Bottom}),
            (PackRect{40, 0, 100, 100}))
      << "Remainder is the full-height strip to the right";
}

TEST(PartitionEdges, MoreRoomDownCutsHorizontally) {
  TPartition root(0, 0, 100, 100, kPackTopLeft);
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
  TPartition withFailure(0, 0, 200, 150, kPackTopLeft);
  TPartition without(0, 0, 200, 150, kPackTopLeft);
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

TEST(PartitionProperty, DeepTreesAreReleasedWithoutExhaustingTheStack) {
  // A million-level chain (degenerate cells can chain a tree one level per cell): releasing it
  // recursively would need far more stack than a thread has.
  auto root = std::make_unique<TPartition>(0, 0, 1, 2000000, kPackTopLeft);
  TPartition* node = root.get();
  for (int i = 0; i < 1000000; ++i) {
    node->Used = true;
    node->Adjacent = std::make_unique<TPartition>(1, i, 1, i + 1, kPackTopLeft);
    node->Remainder = std::make_unique<TPartition>(0, i + 1, 1, 2000000, kPackTopLeft);
    node = node->Remainder.get();
  }
  root.reset();
  SUCCEED();
}

}  // namespace
}  // namespace glyphmill
