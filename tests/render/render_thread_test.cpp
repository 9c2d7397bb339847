#include "render/render_thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "render/placement.h"
#include "tests/render/render_job_fixture.h"

namespace glyphmill {
namespace {

using testing::MakeJob;
using testing::RecordingHost;
using testing::RunToEnd;
using testing::Selection;
using testing::TestSettings;

// A clock for which every throttled report is due: each reading is 51 ms after the last.
ProgressReporter::TickSource AlwaysDue() {
  auto now = std::make_shared<uint32_t>(0);
  return [now] { return *now += 51; };
}
ProgressReporter::TickSource NeverDue() {
  return [] { return 7u; };
}

bool IsPlaced(const RenderThread& job, int32_t record) {
  const auto& order = job.sortOrder();
  const auto pos = std::find(order.begin(), order.end(), record) - order.begin();
  return pos < job.placedCount();
}

TEST(RenderJob, HandsBackImagesTableAndPlacedCount) {
  RecordingHost host;
  auto job = MakeJob(TestSettings(), kJobPlace, &host, Selection('A', 'Z'));
  EXPECT_TRUE(job->setupError().empty()) << job->setupError();
  RunToEnd(*job);
  EXPECT_EQ(host.finished.load(), 1);
  EXPECT_EQ(host.finishedJob, job.get()) << "the completion names its job";
  EXPECT_EQ(job->charCount(), 26);
  EXPECT_EQ(job->placedCount(), kAllPlaced);
  EXPECT_EQ(job->colourImage().width(), 128);
  EXPECT_EQ(job->maskImage().height(), 128);
  EXPECT_TRUE(job->runError().empty());
}

TEST(RenderJob, MaskHoldsCoverageInsideCellsAndZeroElsewhere) {
  RecordingHost host;
  auto job = MakeJob(TestSettings(), kJobPlace, &host, Selection('A', 'H'));
  RunToEnd(*job);
  const Image24& mask = job->maskImage();
  std::vector<uint8_t> inCell(128 * 128, 0);
  for (const PlacedCharacter& c : job->chars())
    for (uint32_t y = 0; y < c.cellHeight; ++y)
      for (uint32_t x = 0; x < c.cellWidth; ++x) inCell[(c.cellY + y) * 128 + c.cellX + x] = 1;
  int full = 0;
  for (int32_t y = 0; y < 128; ++y)
    for (int32_t x = 0; x < 128; ++x) {
      const Bgr p = mask.pixel(x, y);
      ASSERT_TRUE(p.b == p.g && p.g == p.r) << "the mask is grey";
      if (!inCell[y * 128 + x]) {
        ASSERT_EQ(p.r, 0) << "no coverage outside every cell";
      }
      full += p.r == 255;
    }
  EXPECT_GT(full, 50) << "pixels fully inside a glyph are 255";
}

TEST(RenderJob, NoneModeMaskIsZeroOr255Only) {
  auto values = [](uint16_t mode) {
    RecordingHost host;
    GenerationSettings s = TestSettings();
    s.antialiasMode = mode;
    auto job = MakeJob(s, kJobPlace, &host, Selection('a', 'z'));
    RunToEnd(*job);
    std::set<int> seen;
    const Image24& m = job->maskImage();
    for (int32_t y = 0; y < m.height(); ++y)
      for (int32_t x = 0; x < m.width(); ++x) seen.insert(m.pixel(x, y).r);
    return seen;
  };
  EXPECT_EQ(values(kAntialiasNone), (std::set<int>{0, 255}));
  EXPECT_GT(values(kAntialiasSmooth).size(), 2u) << "smooth mode has grey edges";
}

TEST(RenderJob, CleartypeTextureHasNoColourFringes) {
  RecordingHost host;
  GenerationSettings s = TestSettings();
  s.antialiasMode = kAntialiasCleartype;
  s.textColour = 0x00FFFFFF;
  s.backColour = 0;
  auto job = MakeJob(s, kJobPlace, &host, Selection('a', 'k'));
  RunToEnd(*job);
  const Image24& c = job->colourImage();
  int grey = 0;
  for (int32_t y = 0; y < c.height(); ++y)
    for (int32_t x = 0; x < c.width(); ++x) {
      const Bgr p = c.pixel(x, y);
      ASSERT_TRUE(p.b == p.g && p.g == p.r) << "white on black stays grey at (" << x << ", " << y << ")";
      grey += p.r > 0 && p.r < 255;
    }
  EXPECT_GT(grey, 0) << "the averaged coverage still antialiases";
}

TEST(RenderJob, GuidesAppearInTheColourImageOnly) {
  GenerationSettings s = TestSettings();
  s.backColour = 0;
  RecordingHost h1, h2;
  auto plain = MakeJob(s, kJobPlace, &h1, Selection('H', 'H'));
  auto guided = MakeJob(s, kJobPlace | kJobDrawGuides, &h2, Selection('H', 'H'));
  RunToEnd(*plain);
  RunToEnd(*guided);
  const Image24& a = plain->maskImage();
  const Image24& b = guided->maskImage();
  EXPECT_EQ(0, std::memcmp(a.data(), b.data(), a.stride() * a.height())) << "the mask has no guides";
  const PlacedCharacter& c = guided->chars()[0];
  // The middle of the cell's bottom edge lies in neither the A nor the C frame.
  EXPECT_EQ(guided->colourImage().pixel(c.cellX + c.cellWidth / 2, c.cellY + c.cellHeight - 1), (Bgr{0, 0, 255}));
  EXPECT_EQ(plain->colourImage().pixel(c.cellX + c.cellWidth / 2, c.cellY + c.cellHeight - 1), Bgr{});
}

TEST(RenderJob, ShortJobShowsOnlyStageOpeningTexts) {
  GenerationSettings s = TestSettings();
  s.styleFlags = kStyleOutline | kStyleDropShadow;
  RecordingHost host;
  auto job = MakeJob(s, kJobPlace, &host, Selection('A', 'D'));
  job->setTickSource(NeverDue());
  RunToEnd(*job);
  EXPECT_EQ(host.texts(), (std::vector<std::string>{"Preparing Surface...", "Sorting Characters...",
                                                    "Drawing Outline...", "Drawing Dropshadow..."}));
  const auto reports = host.reports();
  EXPECT_EQ(reports[2].progress, -1) << "the effect openers leave the progress unchanged";
  EXPECT_EQ(reports[3].progress, -1);
}

TEST(RenderJob, ProgressMaximaFollowTheEnabledEffects) {
  struct Case {
    uint8_t flags;
    int32_t range;
  } cases[] = {{0, 300}, {kStyleOutline, 500}, {kStyleDropShadow, 500}, {kStyleOutline | kStyleDropShadow, 700}};
  for (const Case& c : cases) {
    GenerationSettings s = TestSettings(64);
    s.styleFlags = c.flags;
    s.outlineWidth = 2;
    s.shadowSmoothing = 1;
    RecordingHost host;
    auto job = MakeJob(s, kJobPlace, &host, Selection('A', 'E'));
    job->setTickSource(AlwaysDue());
    RunToEnd(*job);
    int32_t last = 0;
    for (const auto& r : host.reports()) {
      if (r.progress < 0) continue;
      EXPECT_GE(r.progress, last) << "progress never goes back (" << r.status << ")";
      last = r.progress;
    }
    EXPECT_LE(last, c.range) << "flags " << int(c.flags);
    EXPECT_GT(last, c.range - 100) << "the last stage reports within its own hundred";
    EXPECT_EQ(host.texts().back().rfind("Drawing Character (", 0), 0u) << "the colour drawing comes last";
  }
}

TEST(RenderJob, StopWhileDrawingTheMaskStillHandsBack) {
  GenerationSettings s = TestSettings();
  s.styleFlags = kStyleDropShadow;
  s.shadowSmoothing = 10;
  RecordingHost host;
  auto job = MakeJob(s, kJobPlace, &host, Selection('A', 'Z'));
  job->setTickSource(AlwaysDue());
  RenderThread* raw = job.get();
  host.onReport = [raw](const RecordingHost::Report& r) {
    if (r.status.rfind("Drawing Character (", 0) == 0) raw->terminate();
  };
  RunToEnd(*job);
  EXPECT_EQ(host.finished.load(), 1) << "a stopped job still completes";
  EXPECT_TRUE(job->terminateRequested());
  const std::vector<std::string> texts = host.texts();
  const auto shadow = std::find(texts.begin(), texts.end(), "Drawing Dropshadow...");
  ASSERT_NE(shadow, texts.end()) << "the drop-shadow stage still runs";
  EXPECT_EQ(
      std::count_if(texts.begin(), shadow, [](const std::string& t) { return t.rfind("Drawing Character", 0) == 0; }),
      1)
      << "the mask pass ended after its first character";
  EXPECT_EQ(
      std::count_if(shadow, texts.end(), [](const std::string& t) { return t.rfind("Drawing Character", 0) == 0; }), 1)
      << "the colour pass draws one character and ends";
  EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                          [](const std::string& t) { return t.rfind("Calculating Drop Shadow", 0) == 0; }),
            0)
      << "no blur pass runs after the stop";
  EXPECT_EQ(job->colourImage().width(), 128);
  EXPECT_EQ(job->charCount(), 26);
}

TEST(RenderJob, ShortfallKeepsEveryRecord) {
  GenerationSettings s = TestSettings(64);
  s.fontSize = 30;
  RecordingHost host;
  auto job = MakeJob(s, kJobPlace, &host, Selection('A', 'Z'));
  RunToEnd(*job);
  ASSERT_LT(job->placedCount(), 26) << "26 capitals at 30 pt do not fit 64 x 64";
  EXPECT_EQ(job->charCount(), 26) << "the table keeps all records, placed or not";
  int placed = 0;
  for (int32_t i = 0; i < 26; ++i) placed += IsPlaced(*job, i);
  EXPECT_EQ(placed, job->placedCount());
}

TEST(RenderJob, OutOfRangeSettingsRunSafely) {
  // Values no control offers, as a hand-edited project file can carry them.
  for (int size : {0, 1, 2, 64}) {
    GenerationSettings s = TestSettings(size);
    s.styleFlags = kStyleOutline | kStyleDropShadow;
    s.outlineHardness = -5000;
    s.outlineOpacity = 100000;
    s.shadowOffset = 60000;
    s.leading = -100;
    s.trailing = -100;
    s.verticalPad = -100;
    RecordingHost host;
    auto job = MakeJob(s, kJobPlace | kJobDrawGuides, &host, Selection('A', 'C'));
    RunToEnd(*job);
    EXPECT_EQ(host.finished.load(), 1);
    EXPECT_TRUE(job->runError().empty()) << job->runError();
    if (size == 0) {
      EXPECT_EQ(job->placedCount(), 0) << "nothing fits a texture of no size";
    }
    for (const PlacedCharacter& c : job->chars()) {
      EXPECT_GE(c.cellX, 0);
      EXPECT_GE(c.cellY, 0);
    }
  }
}

TEST(RenderJob, RunsOnTheCallersThreadToo) {
  RecordingHost host;
  auto job = MakeJob(TestSettings(), kJobPlace, &host, Selection('0', '9'));
  job->run();
  EXPECT_EQ(host.finished.load(), 1);
  EXPECT_EQ(job->placedCount(), kAllPlaced);
}

}  // namespace
}  // namespace glyphmill
