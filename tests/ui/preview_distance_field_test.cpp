// The preview of a distance-field font: the field drawn as an engine draws it, at the font's size
// and at the zoom the person picked.

#include <gtest/gtest.h>

#include "ui/preview_strip.h"

namespace glyphmill {
namespace {

constexpr Bgr kBack{10, 20, 30};
constexpr Bgr kInk{0, 0, 255};

// One 8 x 8 cell 'I' at (0, 0) whose field rises from the left to the right edge: columns 0..7
// hold 32, 64, ..., 256 (held at 255), so the outline (128) lies between columns 2 and 3.
struct FieldTexture {
  Image24 colour{16, 8};
  Image24 mask{16, 8};
  std::vector<PlacedCharacter> table;
  FieldTexture() {
    colour.fill(kBack);
    mask.fill(0, 0, 0);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        const uint8_t v = static_cast<uint8_t>(std::min(255, 32 * (x + 1)));
        mask.setPixel(x, y, Bgr{v, v, v});
        colour.setPixel(x, y, kInk);  // the text colour wherever the field is above 0
      }
    PlacedCharacter p;
    p.codeUnit = 'I';
    p.cellWidth = 8;
    p.cellHeight = 8;
    p.advanceAfter = 8;
    table.push_back(p);
  }
  PreviewSource source(int32_t zoom) const {
    return PreviewSource{table, 1, 4, 16, 8, colour, mask, {}, true, 4, zoom};
  }
};

TEST(FieldCoverage, RampsOverOneScreenPixelAround128) {
  // Spread 4: one texel is 32 field units, so at 1x the ramp spans 128 - 16 .. 128 + 16.
  EXPECT_FLOAT_EQ(FieldCoverage(128.0f, 4, 1), 0.5f);
  EXPECT_FLOAT_EQ(FieldCoverage(112.0f, 4, 1), 0.0f);
  EXPECT_FLOAT_EQ(FieldCoverage(144.0f, 4, 1), 1.0f);
  EXPECT_FLOAT_EQ(FieldCoverage(120.0f, 4, 1), 0.25f);
  // Four times the size: the same edge is four times sharper in field units.
  EXPECT_FLOAT_EQ(FieldCoverage(132.0f, 4, 4), 1.0f);
  EXPECT_FLOAT_EQ(FieldCoverage(126.0f, 4, 4), 0.25f);
  EXPECT_FLOAT_EQ(FieldCoverage(0.0f, 4, 2), 0.0f);
  EXPECT_FLOAT_EQ(FieldCoverage(255.0f, 4, 2), 1.0f);
}

TEST(PreviewStripHeight, AddsTheZoomedLineOnlyForADistanceField) {
  EXPECT_EQ(PreviewStripHeight(20, false, 4), 20);
  EXPECT_EQ(PreviewStripHeight(20, true, 1), 20);
  EXPECT_EQ(PreviewStripHeight(20, true, 2), 60);
  EXPECT_EQ(PreviewStripHeight(20, true, 4), 100);
  EXPECT_EQ(PreviewStripHeight(0, true, 4), 0);
}

TEST(FieldPreview, TheEdgeSitsWhereTheFieldCrosses128) {
  FieldTexture t;
  Image24 strip(40, 8);
  DrawPreviewInto(strip, kBack, u"I", t.source(1));
  // Pen at x = 2. Columns 0..1 (field 32, 64) stay background, column 2 (96) too, column 3
  // (128) is half covered, from column 4 on the ink is solid.
  EXPECT_EQ(strip.pixel(2, 4), kBack);
  EXPECT_EQ(strip.pixel(4, 4), kBack);
  const Bgr half = strip.pixel(5, 4);
  EXPECT_NEAR(half.r, (255 + 30) / 2, 1);
  EXPECT_NEAR(half.b, 10 / 2, 1);
  EXPECT_EQ(strip.pixel(6, 4), kInk);
  EXPECT_EQ(strip.pixel(9, 4), kInk);
  EXPECT_EQ(strip.pixel(10, 4), kBack);  // past the cell
}

TEST(FieldPreview, TheZoomedLineIsDrawnBelowAtTheChosenScaleWithAnEdgeOfOnePixel) {
  FieldTexture t;
  Image24 strip(80, 8 * 5);
  DrawPreviewInto(strip, kBack, u"I", t.source(4));
  // The 1x line is as before.
  EXPECT_EQ(strip.pixel(6, 4), kInk);
  // The 4x line starts at row 8; its pen is at x = 2, the cell spans 32 pixels. The field
  // crosses 128 at texel 3's centre, i.e. 4 * 3.5 = 14 screen pixels into the cell.
  int partial = 0;
  for (int x = 2; x < 34; ++x) {
    const Bgr p = strip.pixel(x, 8 + 16);
    if (p != kInk && p != kBack) ++partial;
    if (x < 2 + 12) {
      EXPECT_EQ(p, kBack) << x;
    }
    if (x > 2 + 16) {
      EXPECT_EQ(p, kInk) << x;
    }
  }
  EXPECT_LE(partial, 2);  // about one screen pixel of smoothing, not four
  EXPECT_EQ(strip.pixel(40, 8 + 16), kBack);
}

TEST(FieldPreview, ACoverageFontIgnoresTheZoom) {
  FieldTexture t;
  PreviewSource s = t.source(4);
  s.distanceField = false;
  Image24 strip(80, 40);
  DrawPreviewInto(strip, kBack, u"I", s);
  for (int y = 8; y < 40; ++y)
    for (int x = 0; x < 80; ++x) ASSERT_EQ(strip.pixel(x, y), kBack);
}

}  // namespace
}  // namespace glyphmill
