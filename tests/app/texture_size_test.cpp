#include "app/texture_size.h"

#include <gtest/gtest.h>

namespace glyphmill {
namespace {

TEST(ApplyTextureSize, TakesTypedNumbersAndResizesBothImagesBlack) {
  AppState state;
  state.settings = FirstStartSettings();
  TextureSizeResult r = ApplyTextureSize(state, "300", "128");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(state.settings.textureWidth, 300);
  EXPECT_EQ(state.result.colour.width(), 300);
  EXPECT_EQ(state.result.mask.width(), 300);
  EXPECT_EQ(state.result.mask.height(), 128);
  EXPECT_EQ(state.result.colour.pixel(299, 127), (Bgr{0, 0, 0}));
  EXPECT_EQ(r.label, "Texture Size: 300x128");
}

TEST(ApplyTextureSize, LeftToTheJobTheSizeIsTakenAndTheImagesStayAsTheyAre) {
  AppState state;
  state.settings = FirstStartSettings();
  ApplyTextureSize(state, "64", "32");
  state.result.colour.setPixel(10, 10, Bgr{1, 2, 3});
  const TextureSizeResult r = ApplyTextureSize(state, "4096", "2048", TextureImages::LeaveToJob);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(state.settings.textureWidth, 4096);
  EXPECT_EQ(state.settings.textureHeight, 2048);
  EXPECT_EQ(state.result.colour.width(), 64);
  EXPECT_EQ(state.result.colour.pixel(10, 10), (Bgr{1, 2, 3}));
  // A refusal is the same refusal either way.
  EXPECT_EQ(ApplyTextureSize(state, "0", "2", TextureImages::LeaveToJob).error, TextureSideRangeError());
  EXPECT_EQ(state.settings.textureWidth, 4096);
}

TEST(ApplyTextureSize, TheSameSizeAgainKeepsTheTexture) {
  AppState state;
  state.settings = FirstStartSettings();
  ApplyTextureSize(state, "64", "32");
  state.result.colour.setPixel(10, 10, Bgr{1, 2, 3});
  state.result.mask.setPixel(63, 31, Bgr{255, 255, 255});
  EXPECT_TRUE(ApplyTextureSize(state, "64", "32").ok);
  EXPECT_EQ(state.result.colour.pixel(10, 10), (Bgr{1, 2, 3}));
  EXPECT_EQ(state.result.mask.pixel(63, 31), (Bgr{255, 255, 255}));
  // A refused size keeps it as well; a new size clears it.
  EXPECT_FALSE(ApplyTextureSize(state, "0", "32").ok);
  EXPECT_EQ(state.result.colour.pixel(10, 10), (Bgr{1, 2, 3}));
  EXPECT_FALSE(ResizeTextures(state, 64, 32));
  EXPECT_TRUE(ApplyTextureSize(state, "64", "33").ok);
  EXPECT_EQ(state.result.colour.pixel(10, 10), (Bgr{0, 0, 0}));
}

TEST(ApplyTextureSize, LettersOrOutOfRangeSidesKeepThePreviousSize) {
  AppState state;
  state.settings = FirstStartSettings();
  ApplyTextureSize(state, "256", "512");
  for (auto [w, h] : {std::pair{"256", "abc"}, std::pair{"0", "10"}, std::pair{"70000", "64"}, std::pair{"-5", "64"},
                      std::pair{"", "64"}, std::pair{"12x", "64"}}) {
    TextureSizeResult r = ApplyTextureSize(state, w, h);
    EXPECT_FALSE(r.ok) << w << " " << h;
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(state.settings.textureWidth, 256);
    EXPECT_EQ(state.settings.textureHeight, 512);
    EXPECT_EQ(state.result.colour.width(), 256);
    EXPECT_EQ(state.result.colour.height(), 512);
    EXPECT_EQ(r.widthText, "256");
    EXPECT_EQ(r.heightText, "512");
    EXPECT_EQ(r.label, "Texture Size: 256x512");
  }
  EXPECT_NE(ApplyTextureSize(state, "abc", "1").error.find("abc"), std::string::npos);
}

TEST(ParseDecimal, AcceptsSignedDecimalsOnly) {
  long long v = 0;
  EXPECT_TRUE(ParseDecimal(" 42 ", &v, nullptr));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(ParseDecimal("-7", &v, nullptr));
  EXPECT_EQ(v, -7);
  EXPECT_FALSE(ParseDecimal("0x10", &v, nullptr));
  EXPECT_FALSE(ParseDecimal("1e3", &v, nullptr));
  EXPECT_FALSE(ParseDecimal("99999999999999999999999", &v, nullptr));
}

}  // namespace
}  // namespace glyphmill
