#include "render/placement.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "settings/generation_settings.h"

namespace glyphmill {
namespace {

PlacedCharacter CellOf(uint32_t w, uint32_t h, uint16_t unit = 0) {
  PlacedCharacter c;
  c.cellWidth = w;
  c.cellHeight = h;
  c.codeUnit = unit;
  return c;
}

// The quicksort exactly as the packing order is defined, recursion and all (small inputs only).
void PlainSort(std::vector<int32_t>& order, const std::vector<uint32_t>& key, int L, int R) {
  if (R <= L) return;
  const uint32_t p = key[order[R]];
  int i = L, j = R;
  do {
    while (key[order[i]] > p) ++i;
    while (i < j && !(key[order[j]] > p)) --j;
    if (i < j) std::swap(order[i], order[j]);
  } while (!(j <= i));
  std::swap(order[i], order[R]);
  PlainSort(order, key, L, i - 1);
  PlainSort(order, key, i + 1, R);
}

std::vector<int32_t> PlainOrder(const std::vector<PlacedCharacter>& chars) {
  std::vector<int32_t> order(chars.size());
  std::vector<uint32_t> key(chars.size());
  for (size_t i = 0; i < chars.size(); ++i) {
    order[i] = static_cast<int32_t>(i);
    key[i] = SortKey(chars[i]);
  }
  PlainSort(order, key, 0, static_cast<int>(chars.size()) - 1);
  return order;
}

TEST(SortOrder, CellsOfEqualKeyFollowTheQuicksort) {
  // 20 x 30 and 30 x 20 share the key 30: the pivot (the last) goes first.
  EXPECT_EQ(SortOrder({CellOf(20, 30), CellOf(30, 20)}), (std::vector<int32_t>{1, 0}));
  // Equal keys throughout: the last element moves to the front, the rest keep their order.
  std::vector<PlacedCharacter> same(6, CellOf(8, 8));
  EXPECT_EQ(SortOrder(same), (std::vector<int32_t>{5, 0, 1, 2, 3, 4}));
  EXPECT_EQ(SortOrder({CellOf(5, 1), CellOf(9, 2), CellOf(1, 7)}), (std::vector<int32_t>{1, 2, 0}));
  EXPECT_TRUE(SortOrder({}).empty());
}

TEST(SortOrder, MatchesThePlainQuicksortOnRandomTies) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    const int n = std::uniform_int_distribution<int>(1, 300)(rng);
    const uint32_t spread = std::uniform_int_distribution<uint32_t>(1, 12)(rng);
    std::uniform_int_distribution<uint32_t> side(1, spread);
    std::vector<PlacedCharacter> chars;
    for (int i = 0; i < n; ++i) chars.push_back(CellOf(side(rng), side(rng)));
    const std::vector<int32_t> order = SortOrder(chars);
    ASSERT_EQ(order, PlainOrder(chars)) << "round " << round;
    for (size_t k = 1; k < order.size(); ++k) ASSERT_GE(SortKey(chars[order[k - 1]]), SortKey(chars[order[k]]));
  }
}

TEST(SortOrder, MatchesThePlainQuicksortOnFontLikePatterns) {
  std::mt19937 rng(99);
  auto check = [](const std::vector<PlacedCharacter>& chars, const char* what) {
    ASSERT_EQ(SortOrder(chars), PlainOrder(chars)) << what;
  };
  for (int n : {2, 3, 17, 400, 2500}) {
    std::vector<PlacedCharacter> falling, rising, mostlyEqual, sawtooth;
    for (int i = 0; i < n; ++i) {
      falling.push_back(CellOf(static_cast<uint32_t>(n - i / 3), 1));
      rising.push_back(CellOf(static_cast<uint32_t>(i / 2 + 1), 1));
      const int r = std::uniform_int_distribution<int>(0, 99)(rng);
      mostlyEqual.push_back(CellOf(r < 3 ? 20 : (r < 6 ? 40 : 30), 1));  // a CJK-like font
      sawtooth.push_back(CellOf(static_cast<uint32_t>(50 - i % 7), 1));
    }
    check(falling, "falling");
    check(rising, "rising");
    check(mostlyEqual, "mostly equal");
    check(sawtooth, "sawtooth");
  }
}

TEST(SortOrder, LongRunsOfEqualKeysDoNotExhaustTheStack) {
  // Descending keys drive the pivot to one end on every step.
  std::vector<PlacedCharacter> chars;
  for (uint32_t i = 0; i < 65536; ++i) chars.push_back(CellOf(65536 - i, 1));
  const std::vector<int32_t> order = SortOrder(chars);
  EXPECT_EQ(order.front(), 0);
  EXPECT_EQ(order.back(), 65535);
  std::vector<PlacedCharacter> same(65536, CellOf(30, 30));
  same[100] = CellOf(10, 10);
  same[40000] = CellOf(40, 10);
  const std::vector<int32_t> order2 = SortOrder(same);
  EXPECT_EQ(order2.front(), 40000);
  EXPECT_EQ(order2.back(), 100);
}

class Placement : public ::testing::Test {
 protected:
  PlacementResult place(std::vector<PlacedCharacter>& chars, int32_t W, int32_t H, uint8_t origin) {
    auto trees = CreatePackerTrees(W, H, origin);
    int32_t next = 0;
    ProgressReporter progress;  // no host: reports go nowhere
    return PlaceCharacters(chars, trees, next, progress);
  }
};

TEST_F(Placement, EveryCellPlacedKeepsTheAllPlacedCount) {
  std::vector<PlacedCharacter> chars{CellOf(10, 10), CellOf(20, 5), CellOf(7, 7)};
  const PlacementResult r = place(chars, 128, 128, kOriginTopLeft);
  EXPECT_EQ(r.placedCount, kAllPlaced);
  EXPECT_EQ(chars[1].cellX, 0) << "the largest cell goes first, into the corner";
  EXPECT_EQ(chars[1].cellY, 0);
  EXPECT_EQ(PlacedFlags(r, chars.size()), (std::vector<uint8_t>{1, 1, 1}));
}

TEST_F(Placement, EmptyTableStaysAllPlaced) {
  std::vector<PlacedCharacter> chars;
  EXPECT_EQ(place(chars, 128, 128, kOriginTopLeft).placedCount, kAllPlaced);
}

TEST_F(Placement, FirstCellTooLargePlacesNothing) {
  std::vector<PlacedCharacter> chars{CellOf(10, 10), CellOf(200, 10), CellOf(5, 5)};
  const PlacementResult r = place(chars, 128, 128, kOriginTopLeft);
  EXPECT_EQ(r.placedCount, 0);
  EXPECT_EQ(PlacedFlags(r, chars.size()), (std::vector<uint8_t>{0, 0, 0}));
  for (const PlacedCharacter& c : chars) {
    EXPECT_EQ(c.cellX, 0);
    EXPECT_EQ(c.cellY, 0);
  }
}

TEST_F(Placement, StopsAtTheFirstCellThatFitsNowhere) {
  // Sorted: 100x100, 100x100 (no room left), then a 5x5 that would fit but is not tried.
  std::vector<PlacedCharacter> chars{CellOf(5, 5), CellOf(100, 100), CellOf(100, 100)};
  const PlacementResult r = place(chars, 128, 128, kOriginTopLeft);
  EXPECT_EQ(r.placedCount, 1);
  const std::vector<uint8_t> flags = PlacedFlags(r, chars.size());
  EXPECT_EQ(flags[0], 0) << "smaller cells after the refused one are not tried";
  EXPECT_EQ(flags[r.sortOrder[0]], 1);
}

TEST_F(Placement, MiddleSpreadsCellsRoundRobinOverTheQuadrants) {
  std::vector<PlacedCharacter> chars(8, CellOf(10, 10));
  const PlacementResult r = place(chars, 256, 256, kOriginMiddle);
  ASSERT_EQ(r.placedCount, kAllPlaced);
  auto quadrant = [](const PlacedCharacter& c) { return (c.cellX >= 128 ? 1 : 0) + (c.cellY >= 128 ? 2 : 0); };
  for (int k = 0; k < 8; ++k) EXPECT_EQ(quadrant(chars[r.sortOrder[k]]), k % 4) << "position " << k;
  EXPECT_EQ(chars[r.sortOrder[0]].cellX, 117) << "upper left packs towards the centre";
  EXPECT_EQ(chars[r.sortOrder[0]].cellY, 117);
  EXPECT_EQ(chars[r.sortOrder[3]].cellX, 128);
  EXPECT_EQ(chars[r.sortOrder[3]].cellY, 128);
}

TEST_F(Placement, MiddleFallsBackToAnyQuadrantWithRoom) {
  // Quadrants are 127 x 127 (the lower left 127 x 128). The four cells of key 127 sort as 3, 0, 1, 2:
  // trees 0, 2 and 3 are filled, tree 1 keeps a 127 x 27 strip; then a 100 x 20 is offered to the
  // full tree 0.
  std::vector<PlacedCharacter> chars{CellOf(127, 100), CellOf(127, 127), CellOf(127, 127),
                                     CellOf(127, 127), CellOf(100, 20),  CellOf(5, 1)};
  const PlacementResult r = place(chars, 256, 256, kOriginMiddle);
  ASSERT_EQ(r.placedCount, kAllPlaced);
  EXPECT_EQ(chars[4].cellX, 128) << "refused by tree 0, placed in tree 1's strip";
  EXPECT_EQ(chars[4].cellY, 7);
  // The next cell is offered to tree 1 (the one after the refusing tree): it lands in tree 1's
  // free piece above the 100 x 20 cell, not in tree 2's one-row strip.
  EXPECT_EQ(chars[5].cellX, 128);
  EXPECT_EQ(chars[5].cellY, 6);
}

TEST_F(Placement, MiddleStopsWhenNoQuadrantHasRoom) {
  std::vector<PlacedCharacter> chars(5, CellOf(120, 120));
  const PlacementResult r = place(chars, 256, 256, kOriginMiddle);
  EXPECT_EQ(r.placedCount, 4) << "one per quadrant, the fifth fits nowhere";
}

TEST_F(Placement, DegenerateCellsTakeNoRoom) {
  // A size driven below zero by negative spacing is stored as a huge unsigned number; the packer
  // reads it as zero, so it cannot push free space outside the texture.
  std::vector<PlacedCharacter> chars{CellOf(static_cast<uint32_t>(-5), 10), CellOf(60, 60), CellOf(60, 60)};
  const PlacementResult r = place(chars, 128, 128, kOriginTopLeft);
  ASSERT_EQ(r.placedCount, kAllPlaced);
  for (const PlacedCharacter& c : chars) {
    EXPECT_GE(c.cellX, 0);
    EXPECT_GE(c.cellY, 0);
    EXPECT_LE(c.cellX + PackerSize(c.cellWidth), 127);
  }
  EXPECT_EQ(PackerSize(static_cast<uint32_t>(-5)), 0);
  EXPECT_EQ(PackerSize(17), 17);
}

class RecordingHost : public RenderHost {
 public:
  std::vector<std::string> texts;
  std::vector<int32_t> progress;
  void ReportProgress(int32_t p, const std::string& status) override {
    progress.push_back(p);
    texts.push_back(status);
  }
  void JobFinished(RenderThread&) override {}
};

TEST_F(Placement, ReportsSortingThenThrottledPlacingTexts) {
  RecordingHost host;
  uint32_t now = 0;
  ProgressReporter progress(&host, [&now] { return now += 51; });  // every check is due
  std::vector<PlacedCharacter> chars{CellOf(4, 4), CellOf(4, 4), CellOf(4, 4), CellOf(4, 4)};
  auto trees = CreatePackerTrees(64, 64, kOriginTopLeft);
  int32_t next = 0;
  progress.restartClock();
  PlaceCharacters(chars, trees, next, progress);
  EXPECT_EQ(host.texts,
            (std::vector<std::string>{"Sorting Characters...", "Placing Character (0/4)", "Placing Character (1/4)",
                                      "Placing Character (2/4)", "Placing Character (3/4)"}));
  EXPECT_EQ(host.progress, (std::vector<int32_t>{0, 0, 25, 50, 75}));

  RecordingHost quiet;
  ProgressReporter frozen(&quiet, [] { return 1000u; });  // never more than 50 ms
  frozen.restartClock();
  auto trees2 = CreatePackerTrees(64, 64, kOriginTopLeft);
  PlaceCharacters(chars, trees2, next, frozen);
  EXPECT_EQ(quiet.texts, (std::vector<std::string>{"Sorting Characters..."}));
}

TEST(Progress, PercentRoundsHalvesToEven) {
  EXPECT_EQ(PercentOf(1, 8), 12);  // 12.5
  EXPECT_EQ(PercentOf(3, 8), 38);  // 37.5
  EXPECT_EQ(PercentOf(1, 40), 2);  // 2.5, not representable exactly as a binary fraction
  EXPECT_EQ(PercentOf(3, 40), 8);  // 7.5
  EXPECT_EQ(PercentOf(2, 3), 67);
  EXPECT_EQ(PercentOf(5, 0), 0);
}

TEST(Progress, ThrottleUsesAWrappingDifference) {
  uint32_t now = 0xFFFFFFF0u;
  ProgressReporter p(nullptr, [&now] { return now; });
  p.restartClock();
  now += 50;  // wraps past zero; exactly 50 ms is not "more than"
  EXPECT_FALSE(p.due());
  now += 1;
  RecordingHost host;
  ProgressReporter q(&host, [&now] { return now; });
  q.restartClock();
  now += 51;
  EXPECT_TRUE(q.due());
  EXPECT_FALSE(q.due()) << "the clock restarts at a due report";
}

}  // namespace
}  // namespace glyphmill
