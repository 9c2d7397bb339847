#include "render/outline.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace glyphmill {
namespace {

// Coverage as a glyph drawn in white leaves it: B = G = R.
void SetB(Image24& img, int32_t x, int32_t y, uint8_t v) { img.setPixel(x, y, Bgr{v, v, v}); }

// A growth pass written straight from its definition, over every inner pixel in visiting order.
void PlainGrowthPass(Image24& s) {
  const int32_t W = s.width(), H = s.height();
  for (int32_t y = 1; y <= H - 2; ++y)
    for (int32_t x = 1; x <= W - 2; ++x) {
      const uint8_t v = s.pixel(x, y).b;
      if (v >= 255) continue;
      uint32_t sum = v, k = 1;
      for (int32_t dy = -1; dy <= 1; ++dy)
        for (int32_t dx = -1; dx <= 1; ++dx) {
          const uint8_t b = s.pixel(x + dx, y + dy).b;
          if (b > v) {
            sum += b;
            ++k;
          }
        }
      if (k > 1) {
        Bgr p = s.pixel(x, y);
        p.r = static_cast<uint8_t>(sum / k);
        s.setPixel(x, y, p);
      }
    }
  for (int32_t y = 1; y <= H - 2; ++y)
    for (int32_t x = 1; x <= W - 2; ++x) {
      Bgr p = s.pixel(x, y);
      p.b = p.r;
      s.setPixel(x, y, p);
    }
}

TEST(OutlineGrowth, WorkedValues) {
  Image24 s(6, 5);
  SetB(s, 1, 1, 255);
  GrowOutlinePass(s, 1);
  EXPECT_EQ(s.pixel(2, 2).r, 127) << "one brighter neighbour of 255: 255 div 2";
  EXPECT_EQ(s.pixel(1, 1).b, 255) << "a pixel at 255 is never changed";

  Image24 two(6, 5);
  SetB(two, 1, 2, 255);
  SetB(two, 3, 2, 255);
  GrowOutlinePass(two, 1);
  EXPECT_EQ(two.pixel(2, 2).r, 170) << "two brighter neighbours: 510 div 3";
  EXPECT_EQ(two.pixel(2, 2).b, 170) << "R is copied into B after the pass";
}

TEST(OutlineGrowth, BorderRowsAndColumnsNeverReceiveCoverage) {
  Image24 s(5, 5);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 5; ++x) SetB(s, x, y, (x == 1 && y == 1) ? 255 : 0);
  for (int pass = 0; pass < 4; ++pass) GrowOutlinePass(s, 2);
  for (int32_t i = 0; i < 5; ++i) {
    EXPECT_EQ(s.pixel(i, 0).r, 0);
    EXPECT_EQ(s.pixel(0, i).r, 0);
    EXPECT_EQ(s.pixel(i, 4).r, 0);
    EXPECT_EQ(s.pixel(4, i).r, 0);
  }
  EXPECT_GT(s.pixel(3, 3).r, 0) << "the halo grows one pixel per pass";
}

TEST(OutlineGrowth, SplitRowsGiveThePlainResult) {
  std::mt19937 rng(3);
  for (int round = 0; round < 6; ++round) {
    const int32_t W = 3 + round * 17, H = 3 + round * 23;
    Image24 a(W, H), b(W, H);
    std::uniform_int_distribution<int> v(0, 255);
    for (int32_t y = 0; y < H; ++y)
      for (int32_t x = 0; x < W; ++x) {
        // Sparse bright spots over black, like glyphs on a texture, plus some full coverage.
        const int r = v(rng);
        const uint8_t c = r < 200 ? 0 : (r > 240 ? 255 : static_cast<uint8_t>(v(rng)));
        a.setPixel(x, y, Bgr{c, c, c});
        b.setPixel(x, y, Bgr{c, c, c});
      }
    for (int pass = 0; pass < 3; ++pass) {
      PlainGrowthPass(a);
      GrowOutlinePass(b, 2);
    }
    ASSERT_EQ(0, std::memcmp(a.data(), b.data(), a.stride() * H)) << W << " x " << H;
  }
}

TEST(OutlineGrowth, StopRequestEndsBetweenPasses) {
  Image24 s(8, 8);
  SetB(s, 3, 3, 255);
  StopFlag stop{true};
  ProgressReporter progress;
  EXPECT_FALSE(GrowOutline(s, 20, progress, stop));
  EXPECT_EQ(s.pixel(4, 4).r, 0) << "no pass ran";
  stop = false;
  EXPECT_TRUE(GrowOutline(s, 1, progress, stop));
  EXPECT_EQ(s.pixel(4, 4).r, 127);
}

TEST(OutlineHardness, ExponentsAndWorkedValues) {
  const std::pair<int, double> expected[] = {{-10, 10.0}, {-5, 10.0 / 6}, {-2, 10.0 / 9}, {-1, 1.0}, {0, 10.0 / 11},
                                             {1, 1.0},    {2, 0.9},       {5, 0.6},       {10, 0.1}};
  for (auto [h, e] : expected) EXPECT_NEAR(HardnessExponent(h), e, 1e-12) << "hardness " << h;

  EXPECT_EQ(HardnessTable(10)[64], 222);
  for (int h : {1, -1}) {
    const auto table = HardnessTable(h);
    for (int v = 0; v < 256; ++v) ASSERT_EQ(table[v], v) << "hardness " << h << " is the identity";
  }
  const auto soft = HardnessTable(0);
  EXPECT_EQ(soft[0], 0);
  EXPECT_EQ(soft[255], 255);
  EXPECT_GT(soft[64], 64) << "10/11 lifts the faint edge";
  EXPECT_LT(HardnessTable(-10)[128], 128) << "an exponent above 1 fades it";
  EXPECT_EQ(HardnessTable(-1000), HardnessTable(-10)) << "out-of-range hardness is held to the offered range";
  EXPECT_EQ(HardnessTable(99), HardnessTable(10));
}

TEST(OutlineHardness, OnlyInnerPixelsStrictlyBetweenTheEnds) {
  Image24 s(3, 3);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 3; ++x) s.setPixel(x, y, Bgr{0, 0, 64});
  ApplyHardness(s, 10);
  EXPECT_EQ(s.pixel(1, 1).r, 222);
  EXPECT_EQ(s.pixel(0, 1).r, 64) << "border pixels are left";
}

TEST(OutlineApplication, MaskIsTheLargerOfGlyphAndScaledOutline) {
  Image24 scratch(3, 1), colour(3, 1), mask(3, 1);
  scratch.setPixel(0, 0, Bgr{0, 200, 100});  // G glyph 200, R outline 100
  scratch.setPixel(1, 0, Bgr{0, 10, 250});
  scratch.setPixel(2, 0, Bgr{0, 0, 0});
  colour.fill(50, 60, 70);
  ProgressReporter progress;
  ApplyOutline(scratch, colour, mask, 0x00332211, 100, false, progress);
  EXPECT_EQ(mask.pixel(0, 0), (Bgr{200, 200, 200}));
  EXPECT_EQ(mask.pixel(1, 0), (Bgr{250, 250, 250}));
  EXPECT_EQ(colour.pixel(0, 0), (Bgr{0x33, 0x22, 0x11})) << "without a shadow the outline colour is set outright";
  EXPECT_EQ(colour.pixel(2, 0), (Bgr{50, 60, 70})) << "no outline coverage leaves the pixel";

  Image24 mask0(3, 1), colour0(3, 1);
  ApplyOutline(scratch, colour0, mask0, 0x00FFFFFF, 0, false, progress);
  EXPECT_EQ(mask0.pixel(1, 0), (Bgr{10, 10, 10})) << "opacity 0: the glyph coverage alone";
  EXPECT_EQ(colour0.pixel(1, 0), (Bgr{255, 255, 255})) << "the colour still carries the outline";

  Image24 blended(3, 1), maskS(3, 1);
  blended.fill(255, 255, 255);
  ApplyOutline(scratch, blended, maskS, 0, 100, true, progress);
  // With a shadow, blended by a / 255: 255 * (1 - 100/255) = 155
  EXPECT_EQ(blended.pixel(0, 0), (Bgr{155, 155, 155}));
}

TEST(OutlineApplication, OpacityFactorIsSinglePrecisionAndClamped) {
  EXPECT_EQ(OutlineMaskTable(50)[1], 0) << "0.5 goes to the even 0";
  EXPECT_EQ(OutlineMaskTable(50)[3], 2) << "1.5 goes to the even 2";
  EXPECT_EQ(OutlineMaskTable(10)[5], 1) << "0.1 in single precision is a little above a tenth";
  EXPECT_EQ(OutlineMaskTable(100)[255], 255);
  EXPECT_EQ(OutlineMaskTable(400)[200], 255) << "an opacity above 100 cannot wrap a byte";
  EXPECT_EQ(OutlineMaskTable(-50)[200], 0);
}

}  // namespace
}  // namespace glyphmill
