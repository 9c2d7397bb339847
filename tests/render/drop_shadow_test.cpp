#include "render/drop_shadow.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace glyphmill {
namespace {

uint8_t R(const Image24& img, int32_t x, int32_t y) { return img.pixel(x, y).r; }

TEST(ShadowValue, OpacityRoundsHalvesToEven) {
  EXPECT_EQ(ShadowValue(255, 50), 128);  // 127.5
  EXPECT_EQ(ShadowValue(3, 50), 2);      // 1.5
  EXPECT_EQ(ShadowValue(1, 50), 0);      // 0.5
  EXPECT_EQ(ShadowValue(200, 100), 200);
  EXPECT_EQ(ShadowValue(200, 0), 0);
  EXPECT_EQ(ShadowValue(200, 65535), 255) << "an opacity beyond 100 cannot wrap a byte";
}

TEST(DropShadowBlur, InPlaceOrderSeesNewLeftAndUpperNeighbours) {
  // A single 90 at (2, 2) of a 5 x 5 image, one pass from (1, 1):
  Image24 s(5, 5);
  s.setPixel(2, 2, Bgr{0, 0, 90});
  BlurShadowPass(s, 0);
  EXPECT_EQ(R(s, 1, 1), 10);                  // 90 / 9
  EXPECT_EQ(R(s, 2, 1), (10 + 90) / 9);       // sees its new left neighbour: 11
  EXPECT_EQ(R(s, 3, 1), (11 + 90) / 9);       // 11
  EXPECT_EQ(R(s, 1, 2), (10 + 11 + 90) / 9);  // the row above holds new values: 12
  EXPECT_EQ(R(s, 0, 0), 0) << "row 0 and column 0 lie outside the blurred region";
}

TEST(DropShadowBlur, PipelinedPassesEqualThePlainLoop) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> v(0, 255);
  for (int32_t offset : {0, 1, 3, 7}) {
    for (int32_t smoothing : {1, 2, 5}) {
      const int32_t W = 41 + offset, H = 29 + 2 * smoothing;
      Image24 a(W, H), b(W, H);
      for (int32_t y = 0; y < H; ++y)
        for (int32_t x = 0; x < W; ++x) {
          const Bgr p{static_cast<uint8_t>(v(rng)), static_cast<uint8_t>(v(rng)), static_cast<uint8_t>(v(rng))};
          a.setPixel(x, y, p);
          b.setPixel(x, y, p);
        }
      for (int pass = 0; pass < 2 * smoothing; ++pass) BlurShadowPass(a, offset);
      for (int32_t workers : {2, 3}) {
        Image24 c;
        c.copyFrom(b);
        ProgressReporter progress;
        StopFlag stop{false};
        ASSERT_TRUE(BlurShadow(c, offset, smoothing, workers, progress, stop));
        ASSERT_EQ(0, std::memcmp(a.data(), c.data(), a.stride() * H))
            << "offset " << offset << " smoothing " << smoothing << " workers " << workers;
      }
    }
  }
}

TEST(DropShadowBlur, RowsAndColumnsBeforeTheOffsetStay) {
  Image24 s(12, 12);
  for (int32_t y = 0; y < 12; ++y)
    for (int32_t x = 0; x < 12; ++x) s.setPixel(x, y, Bgr{0, 0, static_cast<uint8_t>((x * 7 + y * 13) % 256)});
  Image24 before;
  before.copyFrom(s);
  ProgressReporter progress;
  StopFlag stop{false};
  BlurShadow(s, 3, 4, 2, progress, stop);
  for (int32_t i = 0; i < 12; ++i)
    for (int32_t j = 0; j < 3; ++j) {
      EXPECT_EQ(R(s, i, j), R(before, i, j)) << "row " << j;
      EXPECT_EQ(R(s, j, i), R(before, j, i)) << "column " << j;
    }
}

TEST(DropShadowBlur, StopRequestEndsBetweenPasses) {
  Image24 s(30, 30);
  s.setPixel(10, 10, Bgr{0, 0, 255});
  ProgressReporter progress;
  StopFlag stop{true};
  EXPECT_FALSE(BlurShadow(s, 2, 10, 2, progress, stop));
  EXPECT_EQ(R(s, 11, 11), 0) << "no pass ran";
}

class DropShadowStep : public ::testing::Test {
 protected:
  GenerationSettings settings_ = [] {
    GenerationSettings s;
    s.styleFlags = kStyleDropShadow;
    s.shadowOffset = 3;
    s.shadowSmoothing = 0;
    s.shadowOpacity = 100;
    return s;
  }();
  ProgressReporter progress_;
  StopFlag stop_{false};
};

TEST_F(DropShadowStep, WithoutSmoothingTheShadowIsTheShiftedMask) {
  Image24 mask(10, 10), scratch(10, 10);
  mask.setPixel(2, 2, Bgr{200, 200, 200});
  settings_.shadowOpacity = 50;
  DrawDropShadow(settings_, mask, scratch, progress_, stop_);
  EXPECT_EQ(mask.pixel(5, 5), (Bgr{100, 100, 100}));
  EXPECT_EQ(mask.pixel(2, 2), (Bgr{200, 200, 200})) << "the shadow never lowers a mask value";
  EXPECT_EQ(mask.pixel(4, 4), Bgr{});
}

TEST_F(DropShadowStep, OpacityZeroLeavesTheMask) {
  Image24 mask(10, 10), scratch(10, 10);
  mask.setPixel(2, 2, Bgr{200, 200, 200});
  Image24 before;
  before.copyFrom(mask);
  settings_.shadowOpacity = 0;
  settings_.shadowSmoothing = 3;
  DrawDropShadow(settings_, mask, scratch, progress_, stop_);
  EXPECT_EQ(0, std::memcmp(before.data(), mask.data(), mask.stride() * 10));
}

TEST_F(DropShadowStep, OffsetZeroSpreadsOnlyBeyondTheGlyph) {
  Image24 mask(12, 12), scratch(12, 12);
  for (int32_t y = 4; y < 8; ++y)
    for (int32_t x = 4; x < 8; ++x) mask.setPixel(x, y, Bgr{255, 255, 255});
  settings_.shadowOffset = 0;
  settings_.shadowSmoothing = 1;
  DrawDropShadow(settings_, mask, scratch, progress_, stop_);
  EXPECT_EQ(mask.pixel(5, 5), (Bgr{255, 255, 255}));
  EXPECT_GT(mask.pixel(3, 5).r, 0) << "the blur spreads the shadow past the glyph's edge";
  EXPECT_EQ(mask.pixel(0, 5), Bgr{}) << "column 0 is never blurred into";
}

TEST_F(DropShadowStep, HugeOffsetCopiesNothing) {
  Image24 mask(6, 6), scratch(6, 6);
  mask.fill(9, 9, 9);
  settings_.shadowOffset = 50;
  settings_.shadowSmoothing = 2;
  DrawDropShadow(settings_, mask, scratch, progress_, stop_);
  EXPECT_EQ(mask.pixel(5, 5), (Bgr{9, 9, 9}));
}

}  // namespace
}  // namespace glyphmill
