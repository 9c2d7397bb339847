// Fitted texture size: the candidate order, the smallest size that holds every cell as a loop of
// hand-set sizes finds it, and the job at that size placing exactly as when the size is set by hand.
#include "render/texture_fit.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/job_table.h"
#include "render/placement.h"
#include "tests/render/render_job_fixture.h"

namespace glyphmill::testing {
namespace {

std::vector<PlacedCharacter> Cells(std::size_t count, uint32_t w, uint32_t h) {
  std::vector<PlacedCharacter> cells(count);
  for (std::size_t i = 0; i < count; ++i) {
    cells[i].cellWidth = w;
    cells[i].cellHeight = h;
    cells[i].codeUnit = static_cast<uint16_t>(i);
  }
  return cells;
}

bool SameImage(const Image24& a, const Image24& b) {
  return a.width() == b.width() && a.height() == b.height() &&
         std::equal(a.data(), a.data() + a.stride() * a.height(), b.data());
}

// The job's own placement on a texture of one size: its placed count.
int32_t PlacedOnHandSetSize(std::vector<PlacedCharacter> cells, TextureSize size, uint8_t origin) {
  auto trees = CreatePackerTrees(size.width, size.height, origin);
  int32_t nextTree = 0;
  ProgressReporter silent;
  return PlaceCharacters(cells, trees, nextTree, silent).placedCount;
}

// The smallest hand-set size, trying every candidate in order without any shortcut.
TextureSize SmallestByLoop(const std::vector<PlacedCharacter>& cells, uint8_t origin, TextureSize maximum) {
  for (const TextureSize& size : FitCandidates(maximum))
    if (PlacedOnHandSetSize(cells, size, origin) == kAllPlaced) return size;
  return maximum;
}

TEST(FitCandidates, PowersOfTwoWithTheWideRectangleBeforeTheSquareAboveIt) {
  const std::vector<TextureSize> sizes = FitCandidates({4096, 4096});
  ASSERT_EQ(sizes.size(), 17u);
  EXPECT_EQ(sizes[0], (TextureSize{16, 16}));
  EXPECT_EQ(sizes[1], (TextureSize{32, 16}));
  EXPECT_EQ(sizes[2], (TextureSize{32, 32}));
  EXPECT_EQ(sizes[3], (TextureSize{64, 32}));
  EXPECT_EQ(sizes[15], (TextureSize{4096, 2048}));
  EXPECT_EQ(sizes[16], (TextureSize{4096, 4096}));
}

TEST(FitCandidates, TheFirstSizeBeyondTheMaximumEndsTheList) {
  EXPECT_EQ(FitCandidates({256, 1024}).back(), (TextureSize{256, 256}));
  EXPECT_EQ(FitCandidates({512, 256}).back(), (TextureSize{512, 256}));
  EXPECT_EQ(FitCandidates({100, 100}).back(), (TextureSize{64, 64}));
  EXPECT_TRUE(FitCandidates({15, 4096}).empty());
  EXPECT_TRUE(FitCandidates({1, 1}).empty());
}

TEST(FitTextureSize, ExactFitsAtTheBoundaries) {
  // A 16 x 16 texture offers 15 x 15 pixels: 225 one-pixel cells fill it, a 226th needs 32 x 16.
  EXPECT_EQ(FitTextureSize(Cells(225, 1, 1), kOriginTopLeft, {4096, 4096}), (TextureSize{16, 16}));
  EXPECT_EQ(FitTextureSize(Cells(226, 1, 1), kOriginTopLeft, {4096, 4096}), (TextureSize{32, 16}));
  // A cell as wide as a side never fits that side (the last column stays free).
  EXPECT_EQ(FitTextureSize(Cells(1, 16, 4), kOriginTopLeft, {4096, 4096}), (TextureSize{32, 16}));
  EXPECT_EQ(FitTextureSize(Cells(1, 15, 15), kOriginTopLeft, {4096, 4096}), (TextureSize{16, 16}));
  // Nothing to place: the smallest size.
  EXPECT_EQ(FitTextureSize({}, kOriginTopLeft, {4096, 4096}), (TextureSize{16, 16}));
}

TEST(FitTextureSize, AOneByOneMaximumIsTheAnswerAndHoldsNoCellOfPositiveSize) {
  const std::vector<PlacedCharacter> cells = Cells(3, 1, 1);
  const TextureSize fitted = FitTextureSize(cells, kOriginTopLeft, {1, 1});
  EXPECT_EQ(fitted, (TextureSize{1, 1}));
  EXPECT_EQ(PlacedOnHandSetSize(cells, fitted, kOriginTopLeft), 0);
}

TEST(FitTextureSize, WhenTheMaximumCannotHoldEveryCellTheMaximumIsUsed) {
  const std::vector<PlacedCharacter> cells = Cells(400, 20, 30);
  EXPECT_EQ(FitTextureSize(cells, kOriginTopLeft, {256, 256}), (TextureSize{256, 256}));
  // A maximum that is not a power of two is the answer as it is.
  EXPECT_EQ(FitTextureSize(cells, kOriginTopLeft, {300, 200}), (TextureSize{300, 200}));
}

TEST(FitTextureSize, SixtyFiveThousandFiveHundredThirtySixCellsEveryOrigin) {
  // Every code unit, in mixed sizes as a real font gives them.
  std::vector<PlacedCharacter> cells(kCodeUnitCount);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    cells[i].cellWidth = 3 + static_cast<uint32_t>(i % 7);
    cells[i].cellHeight = 4 + static_cast<uint32_t>((i / 7) % 5);
    cells[i].codeUnit = static_cast<uint16_t>(i);
  }
  for (uint8_t origin : {kOriginTopLeft, kOriginBottomRight, kOriginMiddle}) {
    SCOPED_TRACE("origin " + std::to_string(origin));
    const TextureSize fitted = FitTextureSize(cells, origin, {4096, 4096});
    EXPECT_EQ(fitted, SmallestByLoop(cells, origin, {4096, 4096}));
    // 2,359,296 px² of cells: more than 2048 x 1024 offers, so the square above it is needed.
    EXPECT_EQ(fitted, (TextureSize{2048, 2048}));
    EXPECT_LT(PlacedOnHandSetSize(cells, {2048, 1024}, origin), kAllPlaced);
  }
}

// A real table: DejaVu Sans measured, line or compact cells.
std::vector<PlacedCharacter> RealTable(const GenerationSettings& s, uint16_t first, uint16_t last, uint8_t cellMode) {
  CharacterSelection selection = Selection(first, last);
  FontMeasurer measurer;
  FontTables tables;
  bool fontChanged = true;
  std::string error;
  EXPECT_TRUE(measurer.Measure({s.fontNameString(), s.fontSize, s.bold(), s.italic()}, {}, s.kerning, selection,
                               fontChanged, tables, &error))
      << error;
  GenerationExtras extras;
  extras.cellMode = cellMode;
  return BuildJobTable(s, selection, tables, tables.selectedCount, extras).chars;
}

TEST(FitTextureSize, EqualsTheSmallestHandSetSizeForRealFonts) {
  for (uint8_t cellMode : {kCellsLine, kCellsCompact})
    for (uint8_t origin : {kOriginTopLeft, kOriginTopRight, kOriginBottomLeft, kOriginMiddle})
      for (int points : {10, 24, 48}) {
        SCOPED_TRACE("cells " + std::to_string(cellMode) + " origin " + std::to_string(origin) + " size " +
                     std::to_string(points));
        GenerationSettings s = TestSettings();
        s.fontSize = static_cast<uint8_t>(points);
        s.packOrigin = origin;
        const std::vector<PlacedCharacter> cells = RealTable(s, 32, 383, cellMode);
        const TextureSize fitted = FitTextureSize(cells, origin, {4096, 4096});
        EXPECT_EQ(fitted, SmallestByLoop(cells, origin, {4096, 4096}));
        // The candidate before it really is too small.
        const std::vector<TextureSize> sizes = FitCandidates({4096, 4096});
        const auto at = std::find(sizes.begin(), sizes.end(), fitted);
        ASSERT_NE(at, sizes.end());
        if (at != sizes.begin()) {
          EXPECT_LT(PlacedOnHandSetSize(cells, *(at - 1), origin), kAllPlaced);
        }
      }
}

TEST(FitTextureSize, TheJobAtTheFittedSizeIsTheJobAtThatSizeSetByHand) {
  GenerationSettings s = TestSettings();
  s.fontSize = 24;
  s.styleFlags = kStyleOutline;
  s.outlineWidth = 1;
  const std::vector<PlacedCharacter> cells = RealTable(s, 32, 126, kCellsCompact);
  const TextureSize fitted = FitTextureSize(cells, s.packOrigin, {4096, 4096});

  // Made at another size, then given the fitted one before it starts.
  RenderThread refitted(s, kJobPlace, nullptr);
  refitted.setTextureSize(fitted.width, fitted.height);
  refitted.setTable(cells, {});
  refitted.run();

  GenerationSettings byHand = s;
  byHand.textureWidth = static_cast<uint16_t>(fitted.width);
  byHand.textureHeight = static_cast<uint16_t>(fitted.height);
  RenderThread handSet(byHand, kJobPlace, nullptr);
  handSet.setTable(cells, {});
  handSet.run();

  EXPECT_EQ(refitted.placedCount(), kAllPlaced);
  EXPECT_EQ(refitted.settings().textureWidth, fitted.width);
  EXPECT_EQ(refitted.colourImage().width(), fitted.width);
  EXPECT_EQ(refitted.maskImage().height(), fitted.height);
  EXPECT_EQ(refitted.chars(), handSet.chars());
  EXPECT_TRUE(SameImage(refitted.colourImage(), handSet.colourImage()));
  EXPECT_TRUE(SameImage(refitted.maskImage(), handSet.maskImage()));
}

}  // namespace
}  // namespace glyphmill::testing
