// The Distance Field antialiasing mode of FontFace: FreeType's signed distance field of each glyph,
// checked against FreeType's own Smooth coverage of the same glyph at the same size.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "settings/font_face.h"
#include "settings/generation_settings.h"
#include "font_test_util.h"

namespace glyphmill {
namespace {

using testing::kDejaVuSans;

constexpr int kEdge = 128;

std::unique_ptr<FontFace> OpenDejaVu(int pointSize) {
  std::string error;
  auto face = FontFace::Open(FontRequest{kDejaVuSans, pointSize, false, false}, &error);
  EXPECT_TRUE(face) << error;
  return face;
}

// The field value at the coverage bitmap's pixel (x, y); the field's bitmap starts `spread`
// pixels further left and higher.
struct Pair {
  GlyphImage coverage;
  GlyphImage field;
  int dx = 0;  // field column of coverage column 0
  int dy = 0;  // field row of coverage row 0
  int coverageAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= coverage.width || y >= coverage.rows) return 0;
    return coverage.pixels[static_cast<size_t>(y) * coverage.width + x];
  }
  int fieldAt(int x, int y) const {
    const int fx = x + dx, fy = y + dy;
    if (fx < 0 || fy < 0 || fx >= field.width || fy >= field.rows) return 0;
    return field.pixels[static_cast<size_t>(fy) * field.width + fx];
  }
};

Pair Render(FontFace& face, uint16_t code) {
  Pair p;
  EXPECT_TRUE(face.renderGlyph(code, kAntialiasSmooth, &p.coverage));
  EXPECT_TRUE(face.renderGlyph(code, kAntialiasDistanceField, &p.field));
  p.dx = p.coverage.left - p.field.left;
  p.dy = p.field.top - p.coverage.top;
  return p;
}

TEST(DistanceFieldPolicy, RendersTheFieldFromTheSmoothCoverage) {
  const GlyphRenderPolicy smooth = PolicyForAntialias(kAntialiasSmooth);
  const GlyphRenderPolicy field = PolicyForAntialias(kAntialiasDistanceField);
  EXPECT_EQ(field.renderMode, FT_RENDER_MODE_SDF);
  EXPECT_TRUE(field.fieldFromCoverage);
  EXPECT_EQ(field.loadFlags, smooth.loadFlags);  // the same hinting, so the same ink
  EXPECT_FALSE(smooth.fieldFromCoverage);
}

TEST(DistanceFieldSpread, IsTakenInTheOfferedRangeAndWidensTheBitmapOnEverySide) {
  auto face = OpenDejaVu(24);
  ASSERT_TRUE(face);
  for (uint16_t spread : {2, 8, 32}) {
    ASSERT_TRUE(face->setDistanceFieldSpread(spread));
    EXPECT_EQ(face->distanceFieldSpread(), spread);
    const Pair p = Render(*face, 'H');
    EXPECT_EQ(p.field.width, p.coverage.width + 2 * spread) << spread;
    EXPECT_EQ(p.field.rows, p.coverage.rows + 2 * spread) << spread;
    EXPECT_EQ(p.dx, spread);
    EXPECT_EQ(p.dy, spread);
  }
  EXPECT_FALSE(face->setDistanceFieldSpread(1));
  EXPECT_FALSE(face->setDistanceFieldSpread(33));
  EXPECT_EQ(face->distanceFieldSpread(), 32);  // a refused value changes nothing
}

TEST(DistanceFieldSpread, ALargerSpreadFlattensTheField) {
  // value = 128 + 128 * distance / spread: one pixel inside the edge is further above 128 with a
  // small spread than with a large one.
  auto face = OpenDejaVu(24);
  ASSERT_TRUE(face);
  ASSERT_TRUE(face->setDistanceFieldSpread(2));
  const Pair narrow = Render(*face, 'l');
  ASSERT_TRUE(face->setDistanceFieldSpread(16));
  const Pair wide = Render(*face, 'l');
  const int midRow = narrow.coverage.rows / 2;
  int narrowMax = 0, wideMax = 0;
  for (int x = 0; x < narrow.coverage.width; ++x) {
    narrowMax = std::max(narrowMax, narrow.fieldAt(x, midRow));
    wideMax = std::max(wideMax, wide.fieldAt(x, midRow));
  }
  EXPECT_GT(narrowMax, wideMax);
  EXPECT_GT(wideMax, kEdge);
}

TEST(DistanceFieldGlyph, AGlyphWithoutInkHasNoField) {
  auto face = OpenDejaVu(24);
  ASSERT_TRUE(face);
  GlyphImage field;
  field.width = 5;
  ASSERT_TRUE(face->renderGlyph(' ', kAntialiasDistanceField, &field));
  EXPECT_EQ(field.width, 0);
  EXPECT_EQ(field.rows, 0);
  EXPECT_TRUE(field.pixels.empty());
}

// Thresholding the field at 128 gives the Smooth glyph (coverage >= 128) on at least 97 % of the
// pixels of every glyph, and the field is below 128 everywhere the glyph has no ink around it.
void ExpectThresholdMatchesCoverage(int pointSize, uint16_t spread) {
  auto face = OpenDejaVu(pointSize);
  ASSERT_TRUE(face);
  ASSERT_TRUE(face->setDistanceFieldSpread(spread));
  for (uint16_t code = 33; code < 127; ++code) {
    const Pair p = Render(*face, code);
    ASSERT_GT(p.coverage.width, 0) << code;
    int agree = 0, total = 0;
    for (int y = 0; y < p.coverage.rows; ++y) {
      for (int x = 0; x < p.coverage.width; ++x) {
        ++total;
        if ((p.coverageAt(x, y) >= kEdge) == (p.fieldAt(x, y) >= kEdge)) ++agree;
      }
    }
    EXPECT_GE(agree * 100, total * 97) << "U+" << code << " at " << pointSize << " pt: " << agree << "/" << total;
    // The margin the spread adds holds no ink.
    for (int y = -p.dy; y < p.field.rows - p.dy; ++y)
      for (int x = -p.dx; x < p.field.width - p.dx; ++x)
        if (x < 0 || y < 0 || x >= p.coverage.width || y >= p.coverage.rows) {
          ASSERT_LT(p.fieldAt(x, y), kEdge) << "U+" << code << " at " << x << "," << y;
        }
  }
}

TEST(DistanceFieldGlyph, ThresholdAt128ReproducesSmoothCoverageAt32Pixels) { ExpectThresholdMatchesCoverage(24, 8); }

TEST(DistanceFieldGlyph, ThresholdAt128ReproducesSmoothCoverageAt12Pixels) { ExpectThresholdMatchesCoverage(9, 4); }

// Along every row, where the field crosses 128 between two neighbours with the glyph clearly
// outside on one side and clearly inside on the other, the field keeps falling outwards and rising
// inwards for a pixel each side: values never turn back at an edge.
void ExpectMonotonicAcrossEdges(int pointSize, uint16_t spread) {
  auto face = OpenDejaVu(pointSize);
  ASSERT_TRUE(face);
  ASSERT_TRUE(face->setDistanceFieldSpread(spread));
  int edgesChecked = 0;
  for (uint16_t code = 33; code < 127; ++code) {
    const Pair p = Render(*face, code);
    for (int y = 0; y < p.coverage.rows; ++y) {
      for (int x = -1; x + 1 < p.coverage.width + 1; ++x) {
        const int a = p.fieldAt(x, y), b = p.fieldAt(x + 1, y);
        if ((a < kEdge) == (b < kEdge)) continue;
        // Orient the crossing from outside (o0 next to the edge, o1 one further) to inside.
        const int step = a < kEdge ? -1 : 1;  // direction towards outside
        const int out0 = a < kEdge ? x : x + 1, in0 = a < kEdge ? x + 1 : x;
        const int out1 = out0 + step, in1 = in0 - step;
        if (p.coverageAt(out0, y) != 0 || p.coverageAt(out1, y) != 0) continue;
        if (p.coverageAt(in0, y) != 255 || p.coverageAt(in1, y) != 255) continue;
        ++edgesChecked;
        EXPECT_LE(p.fieldAt(out1, y), p.fieldAt(out0, y)) << "U+" << code << " row " << y << " col " << x;
        EXPECT_LT(p.fieldAt(out0, y), p.fieldAt(in0, y)) << "U+" << code << " row " << y << " col " << x;
        EXPECT_LE(p.fieldAt(in0, y), p.fieldAt(in1, y)) << "U+" << code << " row " << y << " col " << x;
      }
    }
  }
  EXPECT_GT(edgesChecked, 100);  // the check ran over real edges
}

TEST(DistanceFieldGlyph, FieldIsMonotonicAcrossEveryEdgeAt32Pixels) { ExpectMonotonicAcrossEdges(24, 8); }

TEST(DistanceFieldGlyph, FieldIsMonotonicAcrossEveryEdgeAt12Pixels) { ExpectMonotonicAcrossEdges(9, 4); }

TEST(DistanceFieldGlyph, BoldItalicFieldFollowsTheSameInk) {
  std::string error;
  // Bold italic: whatever fontconfig finds or FontFace synthesises, the field follows the same ink.
  auto face = FontFace::Open(FontRequest{kDejaVuSans, 24, true, true}, &error);
  ASSERT_TRUE(face) << error;
  ASSERT_TRUE(face->setDistanceFieldSpread(4));
  const Pair p = Render(*face, 'M');
  int agree = 0, total = 0;
  for (int y = 0; y < p.coverage.rows; ++y)
    for (int x = 0; x < p.coverage.width; ++x, ++total)
      if ((p.coverageAt(x, y) >= kEdge) == (p.fieldAt(x, y) >= kEdge)) ++agree;
  EXPECT_GE(agree * 100, total * 97);
}

}  // namespace
}  // namespace glyphmill
