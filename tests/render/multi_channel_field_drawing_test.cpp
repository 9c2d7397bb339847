// Multi-channel field drawing: writing one glyph's field into the texture, the single-channel
// stand-in, the pass on one thread and on several, and whole MSDF and MTSDF render jobs.
#include "render/multi_channel_field_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "export/export_buffers.h"
#include "render/render_texts.h"
#include "settings/distance_field_mode.h"
#include "tests/render/render_job_fixture.h"

namespace glyphmill {
namespace {

using testing::MakeJob;
using testing::RecordingHost;
using testing::RunToEnd;
using testing::Selection;
using testing::TestSettings;

MultiChannelField TwoByOne() {
  MultiChannelField f;
  f.width = 2;
  f.rows = 1;
  f.rgb = {10, 200, 150, 90, 60, 30};
  f.alpha = {140, 50};
  return f;
}

TEST(CompositeMultiChannelField, WritesChannelsAsBlueGreenRedWhereTheMaskValueIsHigher) {
  Image24 colour, mask;
  colour.resize(3, 2);
  mask.resize(3, 2);
  colour.fill(0, 0, 0);
  mask.fill(0, 0, 0);
  mask.setPixel(1, 0, Bgr{70, 70, 70});  // a neighbour's field, higher than 60 there
  CompositeMultiChannelField(colour, mask, TwoByOne(), 0, 0, false);
  EXPECT_EQ(colour.pixel(0, 0), (Bgr{150, 200, 10}));
  EXPECT_EQ(mask.pixel(0, 0), (Bgr{150, 150, 150}));  // the median
  EXPECT_EQ(colour.pixel(1, 0), (Bgr{0, 0, 0}));      // 60 does not cut into 70
  EXPECT_EQ(mask.pixel(1, 0), (Bgr{70, 70, 70}));
  // MTSDF: the mask takes the true distance; clipped at the right edge.
  mask.fill(0, 0, 0);
  CompositeMultiChannelField(colour, mask, TwoByOne(), 2, 1, true);
  EXPECT_EQ(mask.pixel(2, 1), (Bgr{140, 140, 140}));
  EXPECT_EQ(colour.pixel(2, 1), (Bgr{150, 200, 10}));
}

TEST(FromSingleChannelField, PutsTheFieldInEveryChannelAndTheAlpha) {
  GlyphImage g;
  g.left = -3;
  g.top = 9;
  g.width = 2;
  g.rows = 1;
  g.pixels = {7, 250};
  const MultiChannelField f = FromSingleChannelField(g);
  EXPECT_EQ(f.left, -3);
  EXPECT_EQ(f.top, 9);
  EXPECT_EQ(f.alpha, (std::vector<uint8_t>{7, 250}));
  EXPECT_EQ(f.rgb, (std::vector<uint8_t>{7, 7, 7, 250, 250, 250}));
}

// The job's table, laid out by a real placement, for driving the pass directly.
struct Pass {
  explicit Pass(uint16_t mode) {
    GenerationSettings s = TestSettings(512);
    s.antialiasMode = mode;
    GenerationExtras extras;
    extras.sdfSpread = 4;
    job = MakeJob(s, kJobPlace, &host, Selection(32, 126), extras);
    RunToEnd(*job);
  }
  RecordingHost host;
  std::unique_ptr<RenderThread> job;
};

TEST(DrawMultiChannelFields, SeveralThreadsWriteExactlyWhatOneThreadWrites) {
  Pass pass(kAntialiasMtsdf);
  std::vector<uint8_t> placed(pass.job->chars().size(), 1);
  std::string error;
  auto face = FontFace::Open(FontRequest{"DejaVu Sans", 16, false, false}, &error);
  ASSERT_TRUE(face) << error;
  const GlyphSource source{face.get(), kAntialiasMtsdf, &pass.job->chars(), &placed};
  StopFlag stop{false};
  Image24 colour[2], mask[2];
  for (int k = 0; k < 2; ++k) {
    colour[k].resize(512, 512);
    mask[k].resize(512, 512);
    colour[k].fill(1, 2, 3);  // the pass clears both images itself
    FieldFallbacks fallbacks;
    ProgressReporter progress(nullptr);
    ASSERT_TRUE(DrawMultiChannelFields(source, 4, k == 0 ? 1 : 3, colour[k], mask[k], fallbacks, progress, stop));
    EXPECT_EQ(progress.progressBase(), 200);
    EXPECT_EQ(fallbacks.count, 0);
  }
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) {
      ASSERT_EQ(colour[0].pixel(x, y), colour[1].pixel(x, y)) << x << "," << y;
      ASSERT_EQ(mask[0].pixel(x, y), mask[1].pixel(x, y)) << x << "," << y;
    }
}

TEST(DrawMultiChannelFields, AStopRequestEndsThePass) {
  Pass pass(kAntialiasMsdf);
  std::vector<uint8_t> placed(pass.job->chars().size(), 1);
  std::string error;
  auto face = FontFace::Open(FontRequest{"DejaVu Sans", 16, false, false}, &error);
  ASSERT_TRUE(face) << error;
  const GlyphSource source{face.get(), kAntialiasMsdf, &pass.job->chars(), &placed};
  StopFlag stop{true};
  Image24 colour, mask;
  colour.resize(512, 512);
  mask.resize(512, 512);
  FieldFallbacks fallbacks;
  ProgressReporter progress(nullptr);
  EXPECT_FALSE(DrawMultiChannelFields(source, 4, 2, colour, mask, fallbacks, progress, stop));
  EXPECT_EQ(progress.progressBase(), 0);
}

// Cells of every placed record, as one flag per texture pixel.
std::vector<uint8_t> CellPixels(const RenderThread& job, int side) {
  std::vector<uint8_t> inCell(static_cast<std::size_t>(side) * side, 0);
  for (const PlacedCharacter& c : job.chars())
    for (int64_t y = c.cellY; y < int64_t{c.cellY} + c.cellHeight && y < side; ++y)
      for (int64_t x = c.cellX; x < int64_t{c.cellX} + c.cellWidth && x < side; ++x) inCell[y * side + x] = 1;
  return inCell;
}

TEST(MultiChannelFieldJob, MsdfPutsTheFieldsInTheColourImageAndTheirMedianInTheMask) {
  GenerationSettings s = TestSettings(512);
  s.antialiasMode = kAntialiasMsdf;
  s.setFlag(kStyleOutline, true);
  s.setFlag(kStyleDropShadow, true);
  s.backColour = 0x00FF00;
  GenerationExtras extras;
  extras.sdfSpread = 6;
  extras.pagePixels = kPagePixelsPremultiplied;  // a field's page is data: never made
  RecordingHost host;
  auto job = MakeJob(s, kJobPlace, &host, Selection(33, 126), extras);
  RunToEnd(*job);
  ASSERT_EQ(job->placedCount(), kAllPlaced);
  const std::vector<std::string> texts = host.texts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), render_text::kDrawingOutline), 0);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), render_text::kDrawingDropshadow), 0);
  const std::vector<uint8_t> inCell = CellPixels(*job, 512);
  const Image24& mask = job->maskImage();
  const Image24& colour = job->colourImage();
  int inside = 0;
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) {
      const Bgr c = colour.pixel(x, y), m = mask.pixel(x, y);
      ASSERT_EQ(m.b, Median3(c.r, c.g, c.b)) << x << "," << y;
      if (!inCell[y * 512 + x]) {
        ASSERT_EQ(c, (Bgr{0, 0, 0})) << "field outside its cell at " << x << "," << y;
      }
      if (m.b >= 128) ++inside;
    }
  EXPECT_GT(inside, 1000);
  // Each cell's outermost ring lies beyond the field's reach of the ink.
  for (const PlacedCharacter& c : job->chars()) {
    for (int32_t x = c.cellX; x < c.cellX + static_cast<int32_t>(c.cellWidth); ++x) {
      EXPECT_LT(mask.pixel(x, c.cellY).b, 128);
      EXPECT_LT(mask.pixel(x, c.cellY + static_cast<int32_t>(c.cellHeight) - 1).b, 128);
    }
  }
  GenerationResult result = job->takeResult();
  EXPECT_EQ(result.multiChannelMode, kAntialiasMsdf);
  EXPECT_EQ(result.fieldSpread, 6);
  EXPECT_EQ(result.page.width(), 0);
  EXPECT_TRUE(ExportsOpaqueAlpha(result));
  ExportBuffers buffers;
  BuildExportBuffers(ExportedColour(result), result.mask, buffers, ExportsOpaqueAlpha(result));
  EXPECT_TRUE(std::all_of(buffers.alpha.begin(), buffers.alpha.end(), [](uint8_t a) { return a == 255; }));
}

TEST(MultiChannelFieldJob, MtsdfPutsTheTrueDistanceInTheMaskAndExportsIt) {
  GenerationSettings s = TestSettings(512);
  s.antialiasMode = kAntialiasMtsdf;
  GenerationExtras extras;
  extras.sdfSpread = 4;
  RecordingHost host;
  auto job = MakeJob(s, kJobPlace, &host, Selection(33, 126), extras);
  RunToEnd(*job);
  GenerationResult result = job->takeResult();
  EXPECT_FALSE(ExportsOpaqueAlpha(result));
  int differ = 0;
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) {
      const Bgr c = result.colour.pixel(x, y), m = result.mask.pixel(x, y);
      // The median and the true distance agree on the side of the outline everywhere.
      ASSERT_EQ(Median3(c.r, c.g, c.b) >= 128, m.b >= 128) << x << "," << y;
      if (Median3(c.r, c.g, c.b) != m.b) ++differ;
    }
  EXPECT_GT(differ, 0);  // at corners the median is not the true distance
  ExportBuffers buffers;
  BuildExportBuffers(ExportedColour(result), result.mask, buffers, ExportsOpaqueAlpha(result));
  EXPECT_EQ(buffers.alpha[static_cast<std::size_t>(result.chars[40].cellY) * 512 + result.chars[40].cellX],
            result.mask.pixel(result.chars[40].cellX, result.chars[40].cellY).b);
}

}  // namespace
}  // namespace glyphmill
