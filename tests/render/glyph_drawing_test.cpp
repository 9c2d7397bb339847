#include "render/glyph_drawing.h"

#include <gtest/gtest.h>

#include <set>

#include "settings/generation_settings.h"

namespace glyphmill {
namespace {

TEST(FillBackground, BlackWhiteAndOtherColours) {
  Image24 img(4, 3);
  img.fill(9, 9, 9);
  FillBackground(img, 0);
  EXPECT_EQ(img.pixel(3, 2), Bgr{});
  FillBackground(img, 16777215);
  EXPECT_EQ(img.pixel(3, 2), (Bgr{255, 255, 255}));
  EXPECT_EQ(img.pixel(0, 0), (Bgr{255, 255, 255}));

  Image24 fresh(4, 3);
  FillBackground(fresh, 255);  // red
  EXPECT_EQ(fresh.pixel(0, 0), (Bgr{0, 0, 255}));
  EXPECT_EQ(fresh.pixel(2, 1), (Bgr{0, 0, 255}));
  EXPECT_EQ(fresh.pixel(3, 1), Bgr{}) << "the last column keeps what the new image held";
  EXPECT_EQ(fresh.pixel(1, 2), Bgr{}) << "the last row keeps what the new image held";

  Image24 system(2, 2);
  system.fill(5, 5, 5);
  FillBackground(system, 0xFF00000F);  // negative as a signed number
  EXPECT_EQ(system.pixel(1, 1), Bgr{});
}

TEST(CompositeGlyph, SmoothBlendsCoverageOverWhatTheTargetHolds) {
  Image24 img(4, 1);
  img.fill(100, 100, 100);
  GlyphImage g;
  g.width = 3;
  g.rows = 1;
  g.pixels = {0, 255, 128};
  CompositeGlyph(img, g, 1, 0, Bgr{0, 0, 255});
  EXPECT_EQ(img.pixel(0, 0), (Bgr{100, 100, 100}));
  EXPECT_EQ(img.pixel(1, 0), (Bgr{100, 100, 100})) << "coverage 0 leaves the pixel";
  EXPECT_EQ(img.pixel(2, 0), (Bgr{0, 0, 255})) << "coverage 255 is the colour";
  // (100 * 127 + 0 * 128) / 255 = 49.8 -> 50; (100 * 127 + 255 * 128) / 255 = 177.8 -> 178
  EXPECT_EQ(img.pixel(3, 0), (Bgr{50, 50, 178}));
}

TEST(CompositeGlyph, ClipsAtEveryEdge) {
  Image24 img(3, 3);
  GlyphImage g;
  g.width = 5;
  g.rows = 5;
  g.pixels.assign(25, 255);
  CompositeGlyph(img, g, -1, -1, Bgr{1, 2, 3});
  EXPECT_EQ(img.pixel(2, 2), (Bgr{1, 2, 3}));
  CompositeGlyph(img, g, int64_t{1} << 40, -(int64_t{1} << 40), Bgr{7, 7, 7});
  EXPECT_EQ(img.pixel(0, 0), (Bgr{1, 2, 3}));
  GlyphImage shortData = g;
  shortData.pixels.resize(3);  // fewer bytes than its size says: ignored, not read past
  CompositeGlyph(img, shortData, 0, 0, Bgr{7, 7, 7});
  EXPECT_EQ(img.pixel(0, 0), (Bgr{1, 2, 3}));
}

TEST(CompositeGlyph, LcdCoverageBlendsPerChannel) {
  Image24 scratch(1, 1);
  GlyphImage g;
  g.kind = GlyphImage::Kind::Lcd;
  g.width = 1;
  g.rows = 1;
  g.pixels = {255, 0, 51};  // R, G, B coverage
  CompositeGlyph(scratch, g, 0, 0, Bgr{255, 255, 255});
  EXPECT_EQ(scratch.pixel(0, 0), (Bgr{51, 0, 255}));
}

TEST(Cleartype, ChannelAverageBecomesTheAlpha) {
  Image24 scratch(2, 1);
  scratch.setPixel(0, 0, Bgr{255, 0, 0});      // t = 1/3
  scratch.setPixel(1, 0, Bgr{255, 255, 255});  // t = 1
  Image24 mask(2, 1);
  ApplyCleartype(scratch, mask, TargetKind::Grey, Bgr{255, 255, 255});
  EXPECT_EQ(mask.pixel(0, 0), (Bgr{85, 85, 85}));
  EXPECT_EQ(mask.pixel(1, 0), (Bgr{255, 255, 255}));

  Image24 colour(2, 1);
  colour.fill(255, 255, 255);
  Image24 scratch2(2, 1);
  scratch2.setPixel(0, 0, Bgr{255, 255, 255});                           // t = 1
  ApplyCleartype(scratch2, colour, TargetKind::Colour, Bgr{0, 0, 255});  // red text
  EXPECT_EQ(colour.pixel(0, 0), (Bgr{0, 0, 255}));
  EXPECT_EQ(colour.pixel(1, 0), (Bgr{255, 255, 255})) << "t = 0 leaves the pixel";

  // The scratch image as its own grey target.
  Image24 self(1, 1);
  self.setPixel(0, 0, Bgr{0, 30, 60});  // t = 90 / 765 -> 30
  ApplyCleartype(self, self, TargetKind::Grey, Bgr{});
  EXPECT_EQ(self.pixel(0, 0), (Bgr{30, 30, 30}));
}

TEST(DrawGuides, RecordsThatFoundNoRoomHaveNoGuides) {
  // An unplaced record keeps its cell at 0, 0, over the cell placed there.
  PlacedCharacter placed, unplaced;
  placed.cellX = 10;
  placed.cellY = 10;
  placed.cellWidth = unplaced.cellWidth = 8;
  placed.cellHeight = unplaced.cellHeight = 8;
  Image24 img(40, 40);
  DrawGuides(img, {unplaced, placed}, {GlyphABC{}, GlyphABC{}}, {0, 1});
  EXPECT_EQ(img.pixel(0, 0), Bgr{}) << "no frame at the unplaced record's 0, 0";
  EXPECT_EQ(img.pixel(10, 10), (Bgr{0, 0, 255})) << "the placed record keeps its frame";
}

TEST(DrawGuides, CellPenAndCSpaceFrames) {
  Image24 img(40, 40);
  PlacedCharacter c;
  c.cellX = 5;
  c.cellY = 6;
  c.cellWidth = 20;
  c.cellHeight = 10;
  c.drawOffsetX = 1;
  GlyphABC abc;
  abc.abcA = 3;
  abc.abcC = -4;
  DrawGuides(img, {c}, {abc});
  const Bgr red{0, 0, 255}, green{0, 128, 0}, blue{255, 0, 0};
  EXPECT_EQ(img.pixel(12, 15), red) << "cell frame, bottom edge inside the cell";
  EXPECT_EQ(img.pixel(12, 16), Bgr{}) << "the bottom edge itself is excluded";
  EXPECT_EQ(img.pixel(6, 10), green) << "pen frame's left edge at cellX + drawOffsetX";
  EXPECT_EQ(img.pixel(8, 10), green) << "its right edge at pen + A - 1";
  EXPECT_EQ(img.pixel(21, 10), blue) << "C frame from cellX + cellWidth + C";
  EXPECT_EQ(img.pixel(24, 10), blue);
  EXPECT_EQ(img.pixel(12, 10), Bgr{}) << "frames are not filled";

  Image24 none(40, 40);
  abc.abcA = 0;
  abc.abcC = 0;
  c.drawOffsetX = 4;
  DrawGuides(none, {c}, {abc});
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 40; ++x) {
      EXPECT_NE(none.pixel(x, y), green) << "A = 0 gives an empty green rectangle";
      EXPECT_NE(none.pixel(x, y), blue);
    }
}

}  // namespace
}  // namespace glyphmill
