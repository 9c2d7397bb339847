// DrawPreview and FindPlacedCharacter over hand-made textures, tables and strips.

#include <gtest/gtest.h>

#include "ui/preview_strip.h"

namespace glyphmill {
namespace {

// A 64 x 16 texture: character 'A' a 4 x 4 cell at (0, 0) in red, 'B' at (8, 0) in green, 'H' a
// half-covered cell at (16, 0) in blue; the mask covers the cells (H at 128).
struct Texture {
  Image24 colour{64, 16};
  Image24 mask{64, 16};
  std::vector<PlacedCharacter> table;
  Texture() {
    auto cell = [&](uint16_t unit, int32_t x, Bgr c, uint8_t cover, int32_t before, int32_t after) {
      PlacedCharacter p;
      p.codeUnit = unit;
      p.cellX = x;
      p.cellWidth = 4;
      p.cellHeight = 4;
      p.advanceBefore = before;
      p.advanceAfter = after;
      colour.fillRect(x, 0, x + 4, 4, c);
      mask.fillRect(x, 0, x + 4, 4, Bgr{cover, cover, cover});
      table.push_back(p);
    };
    cell('A', 0, Bgr{0, 0, 255}, 255, 0, 4);
    cell('B', 8, Bgr{0, 255, 0}, 255, 0, 4);
    cell('H', 16, Bgr{255, 0, 0}, 128, 1, 4);
  }
  PreviewSource source(uint32_t selected = 3, int32_t space = 3) const {
    return PreviewSource{table, selected, space, 64, 16, colour, mask};
  }
};

constexpr Bgr kBack{10, 20, 30};

TEST(FindPlacedCharacter, FirstMatchAmongTheSelectedRecords) {
  Texture t;
  EXPECT_EQ(FindPlacedCharacter(t.table, 3, 'B'), 1);
  EXPECT_EQ(FindPlacedCharacter(t.table, 3, 'x'), -1);
  EXPECT_EQ(FindPlacedCharacter(t.table, 1, 'B'), -1);  // beyond the selected count
  EXPECT_EQ(FindPlacedCharacter(t.table, 4, 'A'), -1);  // the table is shorter than the count
  EXPECT_EQ(FindPlacedCharacter({}, 0, 'A'), -1);
}

TEST(DrawPreview, CopiesCellsAtThePenAndSkipsUnknownCharacters) {
  Texture t;
  Image24 strip(40, 6);
  DrawPreviewInto(strip, kBack, u"AxB", t.source());
  // A at x = 2, then B right after it (x is skipped without moving the pen).
  EXPECT_EQ(strip.pixel(1, 0), kBack);
  EXPECT_EQ(strip.pixel(2, 0), (Bgr{0, 0, 255}));
  EXPECT_EQ(strip.pixel(5, 3), (Bgr{0, 0, 255}));
  EXPECT_EQ(strip.pixel(6, 0), (Bgr{0, 255, 0}));
  EXPECT_EQ(strip.pixel(9, 3), (Bgr{0, 255, 0}));
  EXPECT_EQ(strip.pixel(10, 0), kBack);
  EXPECT_EQ(strip.pixel(6, 4), kBack);  // below the cells
}

TEST(DrawPreview, CharactersThatFoundNoRoomAreLeftOut) {
  // 'B' did not fit: its record keeps the cell at 0, 0, which holds 'A'.
  Texture t;
  t.table[1].cellX = 0;
  PreviewSource source = t.source();
  source.placed = {1, 0, 1};
  Image24 strip(40, 6);
  DrawPreviewInto(strip, kBack, u"AB", source);
  EXPECT_EQ(strip.pixel(2, 0), (Bgr{0, 0, 255}));
  EXPECT_EQ(strip.pixel(6, 0), kBack) << "no copy of A's cell for B";
}

TEST(DrawPreview, SpacesMoveThePenOnly) {
  Texture t;
  Image24 strip(40, 6);
  DrawPreviewInto(strip, kBack, u"   ", t.source());
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(strip.pixel(x, y), kBack);
  DrawPreviewInto(strip, kBack, u"  A", t.source(3, 5));
  EXPECT_EQ(strip.pixel(11, 0), kBack);
  EXPECT_EQ(strip.pixel(12, 0), (Bgr{0, 0, 255}));  // 2 + 2 x 5
}

TEST(DrawPreview, BlendsByTheMaskAndKeepsTheBackgroundWhereItIsZero) {
  Texture t;
  Image24 strip(40, 6);
  DrawPreviewInto(strip, kBack, u"H", t.source());
  // H: advanceBefore 1, so its cell starts at x = 3; a = 128/255 blends blue 255 over 10 etc.
  // Coverage 128 of 255 mixes texture and strip about half and half.
  const Bgr mixed = strip.pixel(3, 0);
  EXPECT_NEAR(mixed.b, (255 + 10) / 2.0, 1.5);
  EXPECT_NEAR(mixed.g, 20 / 2.0, 1.5);
  EXPECT_NEAR(mixed.r, 30 / 2.0, 1.5);
  EXPECT_EQ(strip.pixel(2, 0), kBack);
  EXPECT_EQ(strip.pixel(7, 0), kBack);
}

TEST(DrawPreview, NothingButTheBackgroundBeforeTheFirstGenerationOrAfterTheSetGrew) {
  Texture t;
  Image24 strip(40, 6);
  const std::vector<PlacedCharacter> none;
  DrawPreviewInto(strip, kBack, u"AB", PreviewSource{none, 0, 3, 64, 16, t.colour, t.mask});
  for (int x = 0; x < 40; ++x) ASSERT_EQ(strip.pixel(x, 0), kBack);
  DrawPreviewInto(strip, kBack, u"AB", t.source(5));
  for (int x = 0; x < 40; ++x) ASSERT_EQ(strip.pixel(x, 0), kBack);
}

TEST(DrawPreview, CellsOutsideTheStripAreCutAndSourcesClamped) {
  Texture t;
  t.table[0].advanceBefore = -4;  // A starts at x = -2: its two left columns fall outside
  Image24 strip(5, 3);
  DrawPreviewInto(strip, kBack, u"A", t.source());
  EXPECT_EQ(strip.pixel(0, 0), (Bgr{0, 0, 255}));
  EXPECT_EQ(strip.pixel(1, 2), (Bgr{0, 0, 255}));
  EXPECT_EQ(strip.pixel(2, 0), kBack);
  // The strip's last row and column are drawn too.
  t.table[0].advanceBefore = -2;
  Image24 exact(4, 4);
  DrawPreviewInto(exact, kBack, u"A", t.source());
  EXPECT_EQ(exact.pixel(3, 3), (Bgr{0, 0, 255}));
  // A cell that did not fit keeps (0, 0) and a cell reaching past the texture reads its edge.
  Texture far;
  far.table[1].cellX = 62;
  far.colour.fillRect(62, 0, 64, 4, Bgr{9, 8, 7});
  far.mask.fillRect(62, 0, 64, 4, Bgr{255, 255, 255});
  Image24 wide(20, 4);
  DrawPreviewInto(wide, kBack, u"B", far.source());
  EXPECT_EQ(wide.pixel(2 + 3, 0), (Bgr{9, 8, 7}));  // column 65 reads column 63
  EXPECT_EQ(wide.pixel(2 + 4, 0), kBack);
}

TEST(PreviewStripReset, WhiteInAFrameUntilTheFirstPreviewThenTheBackground) {
  PreviewStrip strip;
  const Bgr frame{200, 200, 200};
  strip.reset(10, 5, frame, kBack);
  EXPECT_EQ(strip.bitmap().pixel(0, 0), frame);
  EXPECT_EQ(strip.bitmap().pixel(9, 4), frame);
  EXPECT_EQ(strip.bitmap().pixel(5, 2), (Bgr{255, 255, 255}));
  Texture t;
  strip.drawPreview(kBack, u"", t.source());
  strip.reset(12, 6, frame, Bgr{1, 2, 3});
  EXPECT_EQ(strip.bitmap().width(), 12);
  EXPECT_EQ(strip.bitmap().pixel(0, 0), (Bgr{1, 2, 3}));
  EXPECT_EQ(strip.bitmap().pixel(11, 5), (Bgr{1, 2, 3}));
  strip.reset(12, 0, frame, kBack);  // before any cell height is known
  EXPECT_EQ(strip.bitmap().height(), 0);
}

}  // namespace
}  // namespace glyphmill
