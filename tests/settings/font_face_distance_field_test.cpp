// The Distance Field antialiasing mode of FontFace: FreeType's signed distance field of each glyph,
// checked against FreeType's own Smooth coverage of the same glyph at the same size.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "font_test_util.h"
#include "settings/font_face.h"
#include "settings/generation_settings.h"

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

// Monotonic across the edges, in the two ways a true distance field must be:
// - outside the glyph's box, moving away from it along a row or a column, the distance to the ink
//   only grows, so the field never rises;
// - at a straight stretch of edge (nothing but empty, or covered, pixels in the square beyond it,
//   twice as far as compared), the field rises from `outDepth` pixels outside over the edge and
//   does not fall for `inDepth` pixels inside (it levels off at the middle of a stroke; small
//   sizes have strokes too thin to look inside them).
void ExpectMonotonicAcrossEdges(int pointSize, uint16_t spread, int outDepth, int inDepth) {
  auto face = OpenDejaVu(pointSize);
  ASSERT_TRUE(face);
  ASSERT_TRUE(face->setDistanceFieldSpread(spread));
  int edgesChecked = 0;
  for (uint16_t code = 33; code < 127; ++code) {
    const Pair p = Render(*face, code);
    const int w = p.coverage.width, h = p.coverage.rows;
    for (int y = -p.dy; y < p.field.rows - p.dy; ++y) {
      for (int x = -1; x > -p.dx; --x) ASSERT_LE(p.fieldAt(x - 1, y), p.fieldAt(x, y)) << code << " " << x << "," << y;
      for (int x = w; x + 1 < p.field.width - p.dx; ++x) ASSERT_LE(p.fieldAt(x + 1, y), p.fieldAt(x, y)) << code;
    }
    for (int x = -p.dx; x < p.field.width - p.dx; ++x) {
      for (int y = -1; y > -p.dy; --y) ASSERT_LE(p.fieldAt(x, y - 1), p.fieldAt(x, y)) << code << " " << x << "," << y;
      for (int y = h; y + 1 < p.field.rows - p.dy; ++y) ASSERT_LE(p.fieldAt(x, y + 1), p.fieldAt(x, y)) << code;
    }
    for (int y = 0; y < h; ++y) {
      for (int x = -1; x < w; ++x) {
        const bool leftIn = p.coverageAt(x, y) >= kEdge, rightIn = p.coverageAt(x + 1, y) >= kEdge;
        if (leftIn == rightIn) continue;
        const int step = leftIn ? 1 : -1;  // towards outside
        const int out0 = leftIn ? x + 1 : x, in0 = leftIn ? x : x + 1;
        // Twice as deep as compared, so that every pixel compared lies nearer this edge than the
        // stroke's or the gap's other side.
        bool straight = true;
        for (int k = 1; k <= 2 * outDepth; ++k)
          for (int r = y - 2 * outDepth; r <= y + 2 * outDepth; ++r)
            straight = straight && p.coverageAt(out0 + k * step, r) == 0;
        for (int k = 1; k <= 2 * inDepth; ++k)
          for (int r = y - 2 * inDepth; r <= y + 2 * inDepth; ++r)
            straight = straight && p.coverageAt(in0 - k * step, r) == 255;
        if (!straight) continue;
        ++edgesChecked;
        EXPECT_LT(p.fieldAt(out0, y), p.fieldAt(in0, y)) << "U+" << code << " row " << y << " col " << x;
        for (int k = 1; k <= outDepth; ++k)
          EXPECT_LT(p.fieldAt(out0 + k * step, y), p.fieldAt(out0 + (k - 1) * step, y)) << "U+" << code << " row " << y;
        for (int k = 1; k <= inDepth; ++k)
          EXPECT_LE(p.fieldAt(in0 - (k - 1) * step, y), p.fieldAt(in0 - k * step, y)) << "U+" << code << " row " << y;
      }
    }
  }
  EXPECT_GT(edgesChecked, 20);  // the check ran over real edges
}

TEST(DistanceFieldGlyph, FieldIsMonotonicAcrossEveryEdgeAt32Pixels) { ExpectMonotonicAcrossEdges(24, 8, 2, 1); }

TEST(DistanceFieldGlyph, FieldIsMonotonicAcrossEveryEdgeAt12Pixels) { ExpectMonotonicAcrossEdges(9, 4, 2, 0); }

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
