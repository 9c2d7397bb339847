#include "render/generation_result.h"

#include <gtest/gtest.h>

#include <vector>

#include "render/placement.h"
#include "settings/distance_field_mode.h"
#include "settings/font_request.h"
#include "tests/render/render_job_fixture.h"

namespace glyphmill {
namespace {

using testing::MakeJob;
using testing::RecordingHost;
using testing::RunToEnd;
using testing::Selection;
using testing::TestSettings;

std::vector<uint8_t> Bytes(const Image24& image) {
  return std::vector<uint8_t>(image.data(), image.data() + image.stride() * static_cast<std::size_t>(image.height()));
}

TEST(GenerationResult, IsMovedOutOfAFinishedJobWhole) {
  RecordingHost host;
  // 26 capitals at 16 points do not all fit 48 x 48: some records stay unplaced.
  auto job = MakeJob(TestSettings(48), kJobPlace, &host, Selection('A', 'Z'));
  RunToEnd(*job);
  ASSERT_LT(job->placedCount(), 26);
  const std::vector<uint8_t> colour = Bytes(job->colourImage());
  const std::vector<uint8_t> mask = Bytes(job->maskImage());
  const std::vector<PlacedCharacter> chars = job->chars();
  const std::vector<int32_t> order = job->sortOrder();
  const int32_t placedCount = job->placedCount();

  const GenerationResult result = job->takeResult();
  EXPECT_EQ(result.colour.width(), 48);
  EXPECT_EQ(result.mask.height(), 48);
  EXPECT_EQ(Bytes(result.colour), colour);
  EXPECT_EQ(Bytes(result.mask), mask);
  ASSERT_EQ(result.chars.size(), chars.size());
  for (std::size_t i = 0; i < chars.size(); ++i) {
    EXPECT_EQ(result.chars[i].codeUnit, chars[i].codeUnit);
    EXPECT_EQ(result.chars[i].cellX, chars[i].cellX);
    EXPECT_EQ(result.chars[i].cellY, chars[i].cellY);
  }
  EXPECT_EQ(result.sortOrder, order);
  EXPECT_EQ(result.placedCount, placedCount);
  EXPECT_EQ(result.fieldSpread, 0) << "a coverage mask";
  // The job keeps nothing of it; its settings stay.
  EXPECT_EQ(job->colourImage().width(), 0);
  EXPECT_EQ(job->maskImage().width(), 0);
  EXPECT_TRUE(job->chars().empty());
  EXPECT_EQ(job->settings().textureWidth, 48);
}

TEST(GenerationResult, ADistanceFieldJobNamesItsSpread) {
  RecordingHost host;
  GenerationSettings s = TestSettings(128);
  s.antialiasMode = kAntialiasDistanceField;
  GenerationExtras extras;
  extras.sdfSpread = 200;  // held to the offered range, as the drawing holds it
  auto job = MakeJob(s, kJobPlace, &host, Selection('A', 'C'), extras);
  RunToEnd(*job);
  EXPECT_EQ(job->takeResult().fieldSpread, FieldSpread(extras));
}

TEST(GenerationResult, PlacedFlagsFollowPlacementsOrderNotTheTables) {
  GenerationResult result;
  result.chars.resize(4);
  result.sortOrder = {2, 0, 3, 1};
  result.placedCount = 2;
  EXPECT_EQ(PlacedFlags(result), (std::vector<uint8_t>{1, 0, 1, 0}));
  result.placedCount = kAllPlaced;
  EXPECT_EQ(PlacedFlags(result), (std::vector<uint8_t>{1, 1, 1, 1}));
  result.placedCount = 0;
  EXPECT_EQ(PlacedFlags(result), (std::vector<uint8_t>{0, 0, 0, 0}));
  EXPECT_TRUE(PlacedFlags(GenerationResult{}).empty());
}

TEST(Image24Move, TakesSizeAndPixelsAndLeavesTheSourceEmpty) {
  Image24 a(3, 2);
  a.setPixel(2, 1, Bgr{1, 2, 3});
  Image24 b(std::move(a));
  EXPECT_EQ(b.width(), 3);
  EXPECT_EQ(b.height(), 2);
  EXPECT_EQ(b.pixel(2, 1), (Bgr{1, 2, 3}));
  EXPECT_EQ(a.width(), 0);  // NOLINT(bugprone-use-after-move): the moved-from state is specified
  EXPECT_EQ(a.height(), 0);
  Image24 c(5, 5);
  c = std::move(b);
  EXPECT_EQ(c.width(), 3);
  EXPECT_EQ(c.pixel(2, 1), (Bgr{1, 2, 3}));
  EXPECT_EQ(b.width(), 0);  // NOLINT(bugprone-use-after-move)
  // A moved-from image can be used again.
  b.resize(1, 1);
  EXPECT_EQ(b.pixel(0, 0), (Bgr{0, 0, 0}));
}

TEST(FontRequestFromSettings, TakesNameSizeAndStyleFromTheRecord) {
  GenerationSettings s = FirstStartSettings();
  s.setFontName("DejaVu Serif");
  s.fontSize = 27;
  s.setFlag(kStyleBold, true);
  s.setFlag(kStyleItalic, false);
  EXPECT_EQ(FontRequestFromSettings(s), (FontRequest{"DejaVu Serif", 27, true, false}));
  s.setFlag(kStyleBold, false);
  s.setFlag(kStyleItalic, true);
  EXPECT_EQ(FontRequestFromSettings(s), (FontRequest{"DejaVu Serif", 27, false, true}));
}

}  // namespace
}  // namespace glyphmill
