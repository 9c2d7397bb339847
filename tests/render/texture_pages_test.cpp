// Texture pages: placement going on to fresh pages of the same size, the fitted size that needs the
// fewest pages with its last page cropped, and a job that draws every page, its first exactly the
// texture a one-page job makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "render/placement.h"
#include "render/texture_fit.h"
#include "tests/render/render_job_fixture.h"

namespace glyphmill::testing {
namespace {

std::vector<PlacedCharacter> RandomCells(std::size_t count, uint32_t seed, uint32_t largest) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<uint32_t> side(1, largest);
  std::vector<PlacedCharacter> cells(count);
  for (std::size_t i = 0; i < count; ++i) {
    cells[i].cellWidth = side(rng);
    cells[i].cellHeight = side(rng);
    cells[i].codeUnit = static_cast<uint16_t>(i);
  }
  return cells;
}

PagedPlacement PlaceOnPages(std::vector<PlacedCharacter>& cells, const std::vector<int32_t>& order, PageLayout layout) {
  auto trees = CreatePackerTrees(layout.width, layout.height, layout.packOrigin);
  int32_t nextTree = 0;
  ProgressReporter silent;
  return PlaceInOrderOnPages(cells, order, trees, nextTree, layout, silent);
}

// No two placed cells of one page share a pixel, and every placed cell lies inside its page.
void ExpectNoOverlapPerPage(const std::vector<PlacedCharacter>& cells, const std::vector<int32_t>& order,
                            int32_t placedCount, int32_t width, int32_t height) {
  const std::size_t placed = std::min<std::size_t>(order.size(), static_cast<std::size_t>(placedCount));
  for (std::size_t a = 0; a < placed; ++a) {
    const PlacedCharacter& p = cells[order[a]];
    EXPECT_GE(p.cellX, 0);
    EXPECT_GE(p.cellY, 0);
    EXPECT_LE(p.cellX + static_cast<int32_t>(p.cellWidth), width);
    EXPECT_LE(p.cellY + static_cast<int32_t>(p.cellHeight), height);
    for (std::size_t b = a + 1; b < placed; ++b) {
      const PlacedCharacter& q = cells[order[b]];
      if (p.page != q.page) continue;
      const bool apart = p.cellX + static_cast<int32_t>(p.cellWidth) <= q.cellX ||
                         q.cellX + static_cast<int32_t>(q.cellWidth) <= p.cellX ||
                         p.cellY + static_cast<int32_t>(p.cellHeight) <= q.cellY ||
                         q.cellY + static_cast<int32_t>(q.cellHeight) <= p.cellY;
      ASSERT_TRUE(apart) << "cells " << order[a] << " and " << order[b] << " overlap on page " << p.page;
    }
  }
}

TEST(PagedPlacement, OnePageAllowedPlacesExactlyAsTheClassicLoop) {
  for (uint8_t origin = 0; origin <= kOriginMiddle; ++origin) {
    std::vector<PlacedCharacter> classic = RandomCells(300, 11 + origin, 40);
    std::vector<PlacedCharacter> paged = classic;
    const std::vector<int32_t> order = SortOrder(classic);
    auto trees = CreatePackerTrees(256, 256, origin);
    int32_t nextTree = 0;
    ProgressReporter silent;
    const int32_t classicCount = PlaceInOrder(classic, order, trees, nextTree, silent);
    ASSERT_LT(classicCount, kAllPlaced) << "the test needs a texture that overflows";
    const PagedPlacement one = PlaceOnPages(paged, order, {256, 256, origin, 1});
    EXPECT_EQ(one.placedCount, classicCount);
    EXPECT_EQ(one.pageCount, 1);
    EXPECT_EQ(paged, classic);
  }
}

TEST(PagedPlacement, CellsThatFitNoMoreGoOnToFreshPagesPackedByTheSameRules) {
  for (uint8_t origin = 0; origin <= kOriginMiddle; ++origin) {
    std::vector<PlacedCharacter> cells = RandomCells(600, 3 + origin, 40);
    const std::vector<int32_t> order = SortOrder(cells);
    const PagedPlacement placed = PlaceOnPages(cells, order, {256, 256, origin, 64});
    EXPECT_EQ(placed.placedCount, kAllPlaced);
    EXPECT_GT(placed.pageCount, 2);
    ExpectNoOverlapPerPage(cells, order, placed.placedCount, 256, 256);
    // Pages fill one after another in sort order; each page is what its own cells packed on an
    // empty texture give.
    int32_t page = 0;
    std::vector<int32_t> pageCells;
    auto checkPage = [&] {
      std::vector<PlacedCharacter> alone = cells;
      auto trees = CreatePackerTrees(256, 256, origin);
      int32_t next = 0;
      ProgressReporter silent;
      ASSERT_EQ(PlaceInOrder(alone, pageCells, trees, next, silent), kAllPlaced);
      for (int32_t i : pageCells) {
        EXPECT_EQ(alone[i].cellX, cells[i].cellX);
        EXPECT_EQ(alone[i].cellY, cells[i].cellY);
      }
    };
    for (int32_t i : order) {
      ASSERT_GE(cells[i].page, page);
      if (cells[i].page != page) {
        ASSERT_EQ(cells[i].page, page + 1);
        checkPage();
        pageCells.clear();
        page = cells[i].page;
      }
      pageCells.push_back(i);
    }
    checkPage();
    EXPECT_EQ(page + 1, placed.pageCount);
  }
}

TEST(PagedPlacement, TheMostPagesEndThePlacementAtTheFirstCellThatFitsNoMore) {
  std::vector<PlacedCharacter> cells = RandomCells(600, 5, 40);
  const std::vector<int32_t> order = SortOrder(cells);
  const PagedPlacement placed = PlaceOnPages(cells, order, {256, 256, 0, 2});
  ASSERT_LT(placed.placedCount, kAllPlaced);
  EXPECT_EQ(placed.pageCount, 2);
  for (std::size_t k = static_cast<std::size_t>(placed.placedCount); k < order.size(); ++k) {
    EXPECT_EQ(cells[order[k]].page, 0);
    EXPECT_EQ(cells[order[k]].cellX, 0);
    EXPECT_EQ(cells[order[k]].cellY, 0);
  }
  EXPECT_EQ(cells[order[placed.placedCount - 1]].page, 1);
}

TEST(PagedPlacement, ACellLargerThanAnyPageOpensNoEmptyPage) {
  std::vector<PlacedCharacter> cells = {PlacedCharacter{}, PlacedCharacter{}, PlacedCharacter{}};
  cells[0].cellWidth = cells[0].cellHeight = 60;
  cells[1].cellWidth = cells[1].cellHeight = 200;  // wider than a 128 page can ever hold
  cells[2].cellWidth = cells[2].cellHeight = 10;
  const std::vector<int32_t> order = SortOrder(cells);
  const PagedPlacement placed = PlaceOnPages(cells, order, {128, 128, 0, 8});
  EXPECT_EQ(placed.placedCount, 0);
  EXPECT_EQ(placed.pageCount, 1);
}

TEST(PagedFit, OnePageFitsAsTheClassicFitAndSeveralTakeTheFewestPages) {
  const std::vector<PlacedCharacter> cells = RandomCells(700, 9, 30);
  EXPECT_EQ(FitPagedTextureSize(cells, 0, {1024, 1024}, 1), FitTextureSize(cells, 0, {1024, 1024}));
  // Everything fits one page of the maximum: the smallest such page, as without pages.
  EXPECT_EQ(FitPagedTextureSize(cells, 0, {1024, 1024}, 8), FitTextureSize(cells, 0, {1024, 1024}));

  const std::vector<int32_t> order = SortOrder(cells);
  const TextureSize fitted = FitPagedTextureSize(cells, 0, {256, 256}, 16);
  const int32_t fewest = PagesNeeded(cells, order, {256, 256}, 0, 16);
  ASSERT_GT(fewest, 1);
  EXPECT_EQ(PagesNeeded(cells, order, fitted, 0, 16), fewest);
  // No smaller candidate holds everything in as few pages.
  for (const TextureSize& size : FitCandidates({256, 256})) {
    if (size == fitted) break;
    const int32_t pages = PagesNeeded(cells, order, size, 0, 16);
    EXPECT_TRUE(pages == 0 || pages > fewest) << size.width << "x" << size.height;
  }
  // More cells than the most pages hold: the maximum, and the shortfall is the job's to report.
  EXPECT_EQ(FitPagedTextureSize(cells, 0, {128, 128}, 2), (TextureSize{128, 128}));
}

TEST(PagedFit, TheLastPageIsCroppedToTheSmallestPowerOfTwoThatHoldsItsCells) {
  for (uint8_t origin = 0; origin <= kOriginMiddle; ++origin) {
    // 144 cells of 20 x 20 fill a 256 page; six more start a second one.
    std::vector<PlacedCharacter> cells = RandomCells(150, 21, 1);
    for (PlacedCharacter& c : cells) c.cellWidth = c.cellHeight = 20;
    const std::vector<int32_t> order = SortOrder(cells);
    const PagedPlacement placed = PlaceOnPages(cells, order, {256, 256, origin, 16});
    ASSERT_EQ(placed.placedCount, kAllPlaced);
    const int32_t last = placed.pageCount - 1;
    const int32_t height = CropPage(cells, order, placed.placedCount, last, 256, 256, origin);
    EXPECT_LT(height, 256);
    EXPECT_EQ(height & (height - 1), 0) << height;
    ExpectNoOverlapPerPage(cells, order, placed.placedCount, 256, 256);
    std::vector<int32_t> lastCells;
    for (int32_t i : order)
      if (cells[i].page == last) lastCells.push_back(i);
    for (int32_t i : lastCells) EXPECT_LE(cells[i].cellY + static_cast<int32_t>(cells[i].cellHeight), height);
    // Half that height cannot take them.
    std::vector<PlacedCharacter> scratch = cells;
    auto trees = CreatePackerTrees(256, height / 2, origin);
    int32_t next = 0;
    ProgressReporter silent;
    EXPECT_LT(PlaceInOrder(scratch, lastCells, trees, next, silent), kAllPlaced);
  }
}

TEST(PagedJob, DrawsEveryPageAndItsFirstIsTheOnePageTexture) {
  GenerationSettings s = TestSettings(128);
  s.fontSize = 20;
  const CharacterSelection sel = Selection('!', '~');
  RecordingHost host;
  GenerationExtras extras;
  extras.maxPages = 8;
  auto paged = MakeJob(s, kJobPlace, &host, sel, extras);
  paged->run();
  auto classic = MakeJob(s, kJobPlace, &host, sel);
  classic->run();
  ASSERT_LT(classic->placedCount(), kAllPlaced);
  EXPECT_EQ(paged->placedCount(), kAllPlaced);
  EXPECT_GT(paged->pageCount(), 1);

  GenerationResult one = classic->takeResult();
  GenerationResult all = paged->takeResult();
  ASSERT_EQ(PageCount(all), paged->pageCount());
  EXPECT_TRUE(std::equal(one.colour.data(), one.colour.data() + one.colour.stride() * 128, all.colour.data()));
  EXPECT_TRUE(std::equal(one.mask.data(), one.mask.data() + one.mask.stride() * 128, all.mask.data()));
  // Every record lies on one page once; each page holds ink inside its own cells only.
  std::multiset<uint16_t> units;
  for (const PlacedCharacter& c : all.chars) units.insert(c.codeUnit);
  EXPECT_EQ(units.size(), all.chars.size());
  for (int32_t page = 1; page < PageCount(all); ++page) {
    Image24 expanded;
    const Image24& mask = PageMask(all, page, expanded);
    EXPECT_EQ(mask.width(), 128);
    EXPECT_EQ(mask.height(), 128);  // a size set by hand crops nothing
    std::vector<uint8_t> inside(128 * 128, 0);
    bool any = false;
    for (const PlacedCharacter& c : all.chars) {
      if (c.page != page) continue;
      any = true;
      for (uint32_t y = 0; y < c.cellHeight; ++y)
        for (uint32_t x = 0; x < c.cellWidth; ++x) inside[(c.cellY + y) * 128 + c.cellX + x] = 1;
    }
    EXPECT_TRUE(any) << "page " << page << " holds no cell";
    int inked = 0;
    for (int y = 0; y < 128; ++y)
      for (int x = 0; x < 128; ++x)
        if (mask.pixel(x, y).b > 0) {
          ++inked;
          EXPECT_TRUE(inside[y * 128 + x]) << "ink outside every cell at " << x << "," << y << " of page " << page;
        }
    EXPECT_GT(inked, 0);
  }
}

TEST(PagedJob, AFittedSizeCropsTheLastPage) {
  GenerationSettings s = TestSettings(128);
  s.fontSize = 20;
  GenerationExtras extras;
  extras.maxPages = 8;
  extras.fitTexture = true;
  RecordingHost host;
  // The fewest characters that overflow one page: the second page holds a single cell.
  uint16_t end = '!';
  for (; end < '~'; ++end) {
    auto one = MakeJob(s, kJobPlace, &host, Selection('!', end));
    one->run();
    if (one->placedCount() < kAllPlaced) break;
  }
  auto job = MakeJob(s, kJobPlace, &host, Selection('!', end), extras);
  job->run();
  ASSERT_GT(job->pageCount(), 1);
  GenerationResult result = job->takeResult();
  const Image24& last = PageColour(result, PageCount(result) - 1);
  EXPECT_EQ(last.width(), 128);
  EXPECT_LT(last.height(), 128);
  for (int32_t page = 0; page + 1 < PageCount(result); ++page) EXPECT_EQ(PageColour(result, page).height(), 128);
}

}  // namespace
}  // namespace glyphmill::testing
