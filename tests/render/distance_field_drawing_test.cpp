// Distance-field drawing: the field pass into the mask (on one thread or several), the colour
// under it, and a whole distance-field render job.
#include "render/distance_field_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "render/render_texts.h"
#include "render/row_workers.h"
#include "settings/distance_field_mode.h"
#include "tests/render/render_job_fixture.h"

namespace glyphmill {
namespace {

using testing::MakeJob;
using testing::RecordingHost;
using testing::RunToEnd;
using testing::Selection;
using testing::TestSettings;

GlyphImage Field(int width, int rows, std::vector<uint8_t> pixels) {
  GlyphImage g;
  g.width = width;
  g.rows = rows;
  g.pixels = std::move(pixels);
  return g;
}

TEST(CompositeField, KeepsTheLargerValueInEveryChannelAndClips) {
  Image24 mask;
  mask.resize(4, 3);
  mask.fill(0, 0, 0);
  mask.setPixel(1, 1, Bgr{100, 100, 100});
  const GlyphImage field = Field(3, 2, {10, 200, 50, 60, 90, 255});
  CompositeField(mask, field, 0, 0);
  EXPECT_EQ(mask.pixel(0, 0), (Bgr{10, 10, 10}));
  EXPECT_EQ(mask.pixel(1, 0), (Bgr{200, 200, 200}));
  EXPECT_EQ(mask.pixel(1, 1), (Bgr{100, 100, 100}));  // 90 does not lower what a neighbour wrote
  EXPECT_EQ(mask.pixel(2, 1), (Bgr{255, 255, 255}));
  EXPECT_EQ(mask.pixel(3, 0), (Bgr{0, 0, 0}));
  // Half outside on the left and bottom: only what lies inside is written.
  CompositeField(mask, field, -2, 2);
  EXPECT_EQ(mask.pixel(0, 2), (Bgr{50, 50, 50}));
  EXPECT_EQ(mask.pixel(1, 2), (Bgr{0, 0, 0}));
}

TEST(ColourFromField, ColoursWhereTheFieldIsAboveZeroInsideTheBox) {
  Image24 mask, colour;
  mask.resize(4, 4);
  colour.resize(4, 4);
  mask.fill(0, 0, 0);
  colour.fill(9, 9, 9);
  mask.setPixel(1, 1, Bgr{1, 1, 1});
  mask.setPixel(2, 2, Bgr{200, 200, 200});
  mask.setPixel(3, 3, Bgr{200, 200, 200});  // outside the box
  ColourFromField(mask, colour, FieldBox{0, 0, 3, 3}, Bgr{1, 2, 3});
  EXPECT_EQ(colour.pixel(1, 1), (Bgr{1, 2, 3}));
  EXPECT_EQ(colour.pixel(2, 2), (Bgr{1, 2, 3}));
  EXPECT_EQ(colour.pixel(0, 0), (Bgr{9, 9, 9}));
  EXPECT_EQ(colour.pixel(3, 3), (Bgr{9, 9, 9}));
  // A box reaching past the images is clipped.
  ColourFromField(mask, colour, FieldBox{2, 2, 10, 10}, Bgr{4, 5, 6});
  EXPECT_EQ(colour.pixel(3, 3), (Bgr{4, 5, 6}));
}

// A job's table and face, for driving the mask pass directly.
struct FieldPass {
  explicit FieldPass(int spread, uint16_t first = 33, uint16_t last = 126) {
    GenerationSettings s = TestSettings(512);
    s.antialiasMode = kAntialiasDistanceField;
    GenerationExtras extras;
    extras.sdfSpread = static_cast<uint16_t>(spread);
    job = MakeJob(s, kJobPlace, &host, Selection(first, last), extras);
  }
  RecordingHost host;
  std::unique_ptr<RenderThread> job;
};

TEST(DrawFieldMask, SeveralThreadsWriteExactlyWhatOneThreadWrites) {
  FieldPass pass(4);
  RunToEnd(*pass.job);  // places the characters and opens the face
  std::vector<uint8_t> placed(pass.job->chars().size(), 1);
  std::string error;
  auto face = FontFace::Open(FontRequest{"DejaVu Sans", 16, false, false}, &error);
  ASSERT_TRUE(face) << error;
  const GlyphSource source{face.get(), kAntialiasDistanceField, &pass.job->chars(), &placed};
  StopFlag stop{false};
  Image24 one, several;
  for (Image24* m : {&one, &several}) {
    m->resize(512, 512);
    m->fill(0, 0, 0);
  }
  std::vector<FieldBox> boxesOne, boxesSeveral;
  ProgressReporter progressOne(nullptr), progressSeveral(nullptr);
  ASSERT_TRUE(DrawFieldMask(source, 4, 1, one, boxesOne, progressOne, stop));
  ASSERT_TRUE(DrawFieldMask(source, 4, 3, several, boxesSeveral, progressSeveral, stop));
  EXPECT_EQ(progressOne.progressBase(), 100);
  bool anyInk = false;
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) {
      ASSERT_EQ(one.pixel(x, y), several.pixel(x, y)) << x << "," << y;
      anyInk = anyInk || one.pixel(x, y).b > 128;
    }
  EXPECT_TRUE(anyInk);
  ASSERT_EQ(boxesOne.size(), boxesSeveral.size());
  for (size_t i = 0; i < boxesOne.size(); ++i) {
    EXPECT_EQ(boxesOne[i].x, boxesSeveral[i].x);
    EXPECT_EQ(boxesOne[i].width, boxesSeveral[i].width);
    EXPECT_EQ(boxesOne[i].width > 0, pass.job->chars()[i].codeUnit != ' ');
  }
}

TEST(DrawFieldMask, AStopRequestEndsThePassAfterOneCharacter) {
  FieldPass pass(4);
  RunToEnd(*pass.job);
  std::vector<uint8_t> placed(pass.job->chars().size(), 1);
  std::string error;
  auto face = FontFace::Open(FontRequest{"DejaVu Sans", 16, false, false}, &error);
  ASSERT_TRUE(face) << error;
  const GlyphSource source{face.get(), kAntialiasDistanceField, &pass.job->chars(), &placed};
  StopFlag stop{true};
  Image24 mask;
  mask.resize(512, 512);
  mask.fill(0, 0, 0);
  std::vector<FieldBox> boxes;
  ProgressReporter progress(nullptr);
  EXPECT_FALSE(DrawFieldMask(source, 4, 2, mask, boxes, progress, stop));
  EXPECT_EQ(progress.progressBase(), 0);  // no increment for a stopped pass
  EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(), [](const FieldBox& b) { return b.width > 0; }), 0);
}

TEST(DistanceFieldJob, FieldsStayInsideTheirCellsAndTheColourLiesUnderThem) {
  GenerationSettings s = TestSettings(512);
  s.antialiasMode = kAntialiasDistanceField;
  s.textColour = 0x0000FF;  // red
  s.backColour = 0x00FF00;  // green
  GenerationExtras extras;
  extras.sdfSpread = 8;
  RecordingHost host;
  auto job = MakeJob(s, kJobPlace, &host, Selection(33, 126), extras);
  RunToEnd(*job);
  ASSERT_EQ(job->placedCount(), kAllPlaced);
  Image24& mask = job->maskImage();
  Image24& colour = job->colourImage();
  std::vector<uint8_t> inCell(512 * 512, 0);
  for (const PlacedCharacter& c : job->chars())
    for (int64_t y = c.cellY; y < int64_t{c.cellY} + c.cellHeight && y < 512; ++y)
      for (int64_t x = c.cellX; x < int64_t{c.cellX} + c.cellWidth && x < 512; ++x) inCell[y * 512 + x] = 1;
  int fieldPixels = 0;
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) {
      const Bgr m = mask.pixel(x, y);
      ASSERT_TRUE(m.b == m.g && m.g == m.r);
      if (m.b > 0) {
        ++fieldPixels;
        ASSERT_TRUE(inCell[y * 512 + x]) << "field cut by its cell at " << x << "," << y;
        ASSERT_EQ(colour.pixel(x, y), (Bgr{0, 0, 255})) << x << "," << y;
      } else if (x < 511 && y < 511) {  // a filled rectangle without a pen leaves the last column and row
        ASSERT_EQ(colour.pixel(x, y), (Bgr{0, 255, 0})) << x << "," << y;
      }
    }
  EXPECT_GT(fieldPixels, 1000);
  // Each cell's outermost ring is outside the field's reach: spread pixels of margin plus one.
  for (const PlacedCharacter& c : job->chars()) {
    const int32_t bottom = c.cellY + static_cast<int32_t>(c.cellHeight) - 1;
    for (int32_t x = c.cellX; x < c.cellX + static_cast<int32_t>(c.cellWidth); ++x) {
      EXPECT_LT(mask.pixel(x, c.cellY).b, 128);
      EXPECT_LT(mask.pixel(x, bottom).b, 128);
    }
  }
}

TEST(DistanceFieldJob, SkipsOutlineAndShadowAndReportsOnlyWhatRuns) {
  GenerationSettings s = TestSettings(256);
  s.antialiasMode = kAntialiasDistanceField;
  s.setFlag(kStyleOutline, true);
  s.setFlag(kStyleDropShadow, true);
  RecordingHost host;
  auto job = MakeJob(s, kJobPlace, &host, Selection(65, 90), GenerationExtras{});
  job->setTickSource([] {
    static uint32_t t = 0;
    return t += 100;
  });  // every report is due
  RunToEnd(*job);
  const std::vector<std::string> texts = host.texts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), render_text::kDrawingOutline), 0);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), render_text::kDrawingDropshadow), 0);
  EXPECT_GT(std::count_if(texts.begin(), texts.end(),
                          [](const std::string& t) { return t.rfind("Drawing Character (", 0) == 0; }),
            0);
  for (const RecordingHost::Report& r : host.reports()) EXPECT_LE(r.progress, 300);
}

TEST(ProduceInOrder, ConsumesEveryItemOnceInOrderAfterItWasProduced) {
  constexpr int32_t kCount = 301;
  std::vector<std::atomic<int>> produced(kCount);
  std::vector<int32_t> consumedOrder;
  std::atomic<int32_t> consumedSoFar{0};
  std::atomic<int32_t> furthestAhead{0};
  const bool completed = ProduceInOrder(
      kCount, 3, 8,
      [&](int32_t worker, int32_t item) {
        EXPECT_GE(worker, 0);
        EXPECT_LT(worker, 3);
        produced[item].fetch_add(1);
        int32_t ahead = item - consumedSoFar.load();
        for (int32_t f = furthestAhead.load(); ahead > f && !furthestAhead.compare_exchange_weak(f, ahead);) {
        }
      },
      [&](int32_t item) {
        EXPECT_EQ(produced[item].load(), 1) << item;  // produced before it is consumed
        consumedOrder.push_back(item);
        consumedSoFar.store(item + 1);
        return true;
      });
  EXPECT_TRUE(completed);
  ASSERT_EQ(consumedOrder.size(), static_cast<size_t>(kCount));
  for (int32_t i = 0; i < kCount; ++i) {
    EXPECT_EQ(consumedOrder[i], i);
    EXPECT_EQ(produced[i].load(), 1) << i;
  }
  EXPECT_LE(furthestAhead.load(), 8);  // never more than the window ahead of the consumer
}

TEST(ProduceInOrder, AConsumerThatStopsEndsThePipeline) {
  std::atomic<int32_t> producedCount{0};
  int32_t consumed = 0;
  const bool completed = ProduceInOrder(
      1000, 2, 4, [&](int32_t, int32_t) { producedCount.fetch_add(1); },
      [&](int32_t item) {
        ++consumed;
        return item < 9;
      });
  EXPECT_FALSE(completed);
  EXPECT_EQ(consumed, 10);
  EXPECT_LE(producedCount.load(), 10 + 4 + 2);  // nothing far beyond the stop is started
  EXPECT_TRUE(ProduceInOrder(
      0, 2, 4, [](int32_t, int32_t) { ADD_FAILURE(); },
      [](int32_t) {
        ADD_FAILURE();
        return true;
      }));
}

}  // namespace
}  // namespace glyphmill
