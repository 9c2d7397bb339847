#include "app/generation_driver.h"

#include <gtest/gtest.h>

#include <thread>

#include "app/status_texts.h"
#include "app/texture_size.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_front_end.h"

namespace glyphmill {
namespace {

using testing::TestFrontEnd;

class Driver : public ::testing::Test {
 protected:
  void SetUp() override {
    state.settings = FirstStartSettings();
    state.settings.setFontName("DejaVu Sans");
    state.settings.styleFlags = 0;
    SetDefaultSelection(state.selection);
    ApplyTextureSize(state, "512", "512");
  }
  // Generates and serves the job until its completion ran.
  void GenerateAndWait() {
    std::string error;
    ASSERT_TRUE(driver.Generate(&error)) << error;
    ASSERT_TRUE(front.queue.runUntil([&] { return driver.liveJobs() == 0; }));
  }
  AppState state;
  TestFrontEnd front;
  ScriptedDialogs dialogs;
  GenerationDriver driver{state, front, dialogs};
};

TEST_F(Driver, GenerationHandsBackTextureMaskAndTable) {
  GenerateAndWait();
  EXPECT_EQ(state.statusText, status::kComplete);
  EXPECT_EQ(front.count(status::kPreparingText), 1u);
  EXPECT_EQ(front.count(status::kCreatingThread), 1u);
  EXPECT_EQ(front.count(status::kGettingFontDimensions), 1u);
  EXPECT_EQ(front.progressMaximum, 300);
  EXPECT_FALSE(front.progressVisible);
  EXPECT_EQ(front.cursor, "default");
  EXPECT_TRUE(state.generationIdle);
  EXPECT_EQ(front.previews, 1);  // Auto Preview
  ASSERT_EQ(state.result.chars.size(), state.tables.selectedCount);
  EXPECT_GT(state.result.chars.size(), 90u);
  EXPECT_EQ(state.result.placedCount, kAllPlaced);
  EXPECT_EQ(state.result.colour.width(), 512);
  EXPECT_EQ(state.result.mask.height(), 512);
  // The mask holds glyph coverage somewhere and the texture the silver background.
  bool covered = false;
  for (int y = 0; y < 512 && !covered; ++y)
    for (int x = 0; x < 512 && !covered; ++x) covered = state.result.mask.pixel(x, y).b == 255;
  EXPECT_TRUE(covered);
  EXPECT_EQ(state.result.colour.pixel(500, 500), (Bgr{0xC0, 0xC0, 0xC0}));
  EXPECT_EQ(state.result.mask.pixel(500, 500), (Bgr{0, 0, 0}));
  EXPECT_EQ(front.characterPanel, std::to_string(state.tables.selectedCount) + " Characters");
  for (size_t i = 1; i < state.result.chars.size(); ++i)
    EXPECT_LT(state.result.chars[i - 1].codeUnit, state.result.chars[i].codeUnit);
  EXPECT_GT(state.tallestCell, 0u);
}

TEST_F(Driver, ProgressMaximumFollowsTheEffects) {
  state.settings.setFlag(kStyleOutline, true);
  GenerateAndWait();
  EXPECT_EQ(front.progressMaximum, 500);
  state.settings.setFlag(kStyleDropShadow, true);
  GenerateAndWait();
  EXPECT_EQ(front.progressMaximum, 700);
  for (int32_t p : front.progress) EXPECT_LE(p, 700);
}

TEST_F(Driver, DistanceFieldBakesNoEffectsAndHandsBackItsSpread) {
  // Outline and shadow switched on stay unbaked: the bar counts and the job reports only what runs.
  state.settings.setFlag(kStyleOutline, true);
  state.settings.setFlag(kStyleDropShadow, true);
  state.settings.antialiasMode = kAntialiasDistanceField;
  state.extras.sdfSpread = 6;
  state.settings.fontSize = 16;  // every cell is 12 pixels wider and taller: keep them fitting
  GenerateAndWait();
  EXPECT_EQ(state.statusText, status::kComplete);
  EXPECT_EQ(front.progressMaximum, 300);
  for (int32_t p : front.progress) EXPECT_LE(p, 300);
  EXPECT_EQ(front.count("Drawing Outline..."), 0u);
  EXPECT_EQ(front.count("Drawing Dropshadow..."), 0u);
  EXPECT_EQ(state.result.fieldSpread, 6);
  // The mask holds fields: values on both sides of the edge, not only coverage extremes.
  int inside = 0, edge = 0;
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) {
      const uint8_t v = state.result.mask.pixel(x, y).b;
      inside += v > 128 ? 1 : 0;
      edge += v > 0 && v < 128 ? 1 : 0;
    }
  EXPECT_GT(inside, 0);
  EXPECT_GT(edge, inside);  // the outside part of every field reaches `spread` pixels out
  // Back to Smooth: the next generation hands back coverage again.
  state.settings.antialiasMode = kAntialiasSmooth;
  GenerateAndWait();
  EXPECT_EQ(state.result.fieldSpread, 0);
  EXPECT_EQ(front.progressMaximum, 700);
}

TEST_F(Driver, MultiChannelFieldsGrowTheCellsByTheSpreadAndCompleteWithoutNotice) {
  state.settings.setFlag(kStyleOutline, true);
  state.settings.fontSize = 16;
  state.settings.antialiasMode = kAntialiasSmooth;
  GenerateAndWait();
  const std::vector<PlacedCharacter> smooth = state.result.chars;
  for (uint16_t mode : {kAntialiasMsdf, kAntialiasMtsdf}) {
    state.settings.antialiasMode = mode;
    state.extras.sdfSpread = 5;
    GenerateAndWait();
    EXPECT_EQ(state.statusText, status::kComplete);  // every glyph had an outline: no fallback
    EXPECT_EQ(front.progressMaximum, 300);
    EXPECT_EQ(state.result.fieldSpread, 5);
    EXPECT_EQ(state.result.multiChannelMode, mode);
    EXPECT_EQ(state.result.fieldFallbacks.count, 0);
    // No baked outline (its margin of 2 x width + 1 becomes the field's 1 + spread on each side).
    ASSERT_EQ(state.result.chars.size(), smooth.size());
    const uint32_t outlineMargin = 2 * (2 * state.settings.outlineWidth + 1);
    for (std::size_t i = 0; i < smooth.size(); ++i)
      EXPECT_EQ(state.result.chars[i].cellWidth, smooth[i].cellWidth - outlineMargin + 2 * (1 + 5)) << i;
  }
}

TEST(StatusTexts, TheFieldFallbackNoticeCountsTheGlyphsAndNamesTheFirst) {
  const std::string one = status::FieldFallback(1, 0x2603);
  EXPECT_EQ(one.rfind("!Complete", 0), 0u);  // an error notice: the CLI prints it on standard error
  EXPECT_NE(one.find(" 1 glyph "), std::string::npos) << one;
  EXPECT_NE(one.find("U+2603"), std::string::npos) << one;
  EXPECT_NE(one.find(" has "), std::string::npos) << one;
  const std::string many = status::FieldFallback(12, 0x41);
  EXPECT_NE(many.find(" 12 glyphs "), std::string::npos) << many;
  EXPECT_NE(many.find("U+0041"), std::string::npos) << many;
  EXPECT_NE(many.find(" have "), std::string::npos) << many;
}

TEST_F(Driver, CharactersThatDoNotFitAreCountedInTheNotice) {
  ApplyTextureSize(state, "64", "64");
  GenerateAndWait();
  ASSERT_LT(state.result.placedCount, static_cast<int32_t>(state.tables.selectedCount));
  uint32_t missing = state.tables.selectedCount - static_cast<uint32_t>(state.result.placedCount);
  EXPECT_EQ(state.statusText, status::CantFit(missing));
  EXPECT_EQ(state.statusText.rfind("!Cant fit in the last ", 0), 0u);
  EXPECT_EQ(state.result.chars.size(), state.tables.selectedCount);  // every record handed back
}

TEST_F(Driver, ASupersededJobIsDiscardedWholeAndTheNewOneCompletes) {
  state.settings.setFlag(kStyleOutline, true);
  state.settings.outlineWidth = 20;
  ApplyTextureSize(state, "1024", "1024");
  std::string error;
  ASSERT_TRUE(driver.Generate(&error)) << error;
  state.settings.outlineWidth = 1;
  ASSERT_TRUE(driver.Generate(&error)) << error;  // supersedes the first
  EXPECT_EQ(front.beeps, 1);
  ASSERT_TRUE(front.queue.runUntil([&] { return driver.liveJobs() == 0; }));
  EXPECT_EQ(front.count(status::kComplete), 1u);
  EXPECT_EQ(front.imageUpdates, 1);
  EXPECT_EQ(front.previews, 1);
  EXPECT_EQ(state.statusText, status::kComplete);
}

TEST_F(Driver, StaleSelectedCountIsBroughtUpToDateBeforeTheTableIsBuilt) {
  GenerateAndWait();
  // As after a project load whose font is not in the catalogue: more flags than the count says.
  for (int u = 0x410; u < 0x420; ++u) state.selection[u] = 1;
  GenerateAndWait();
  EXPECT_EQ(state.result.chars.size(), CountSelected(state.selection));
  EXPECT_EQ(state.tables.selectedCount, CountSelected(state.selection));
}

TEST_F(Driver, ChangeNotificationArmsTheAutomaticGenerationOnlyWhenIdle) {
  driver.SettingChanged(true, false);
  EXPECT_EQ(state.statusText, status::kIdle);
  EXPECT_TRUE(state.autoGenerateArmed);
  EXPECT_FALSE(driver.AutoGenerateTick());  // not quiet long enough
  std::this_thread::sleep_for(std::chrono::milliseconds(520));
  EXPECT_TRUE(driver.AutoGenerateTick());
  EXPECT_FALSE(state.autoGenerateArmed);
  EXPECT_FALSE(driver.AutoGenerateTick());  // fires once per burst

  state.statusText = "x";
  driver.SettingChanged(true, true);  // advanced export window visible: nothing at all
  EXPECT_EQ(state.statusText, "x");
  EXPECT_FALSE(state.autoGenerateArmed);

  driver.SettingChanged(false, false);  // "Auto Generate" off: status only
  EXPECT_EQ(state.statusText, status::kIdle);
  EXPECT_FALSE(state.autoGenerateArmed);

  state.generationIdle = false;  // a job runs: changes arm nothing
  driver.SettingChanged(true, false);
  EXPECT_FALSE(state.autoGenerateArmed);
}

TEST_F(Driver, ExportOfAnEmptyQueueRegeneratesAndReportsCompletion) {
  std::string error;
  ASSERT_TRUE(driver.RequestExport(-1, FontRequestFromSettings(state.settings), &error)) << error;
  EXPECT_EQ(front.cursor, "hourglass");
  ASSERT_TRUE(front.queue.runUntil([&] { return driver.liveJobs() == 0; }));
  EXPECT_FALSE(state.exportAfterGenerate);
  ASSERT_GE(front.statuses.size(), 2u);
  EXPECT_EQ(front.statuses[front.statuses.size() - 2], "Exporting...");
  EXPECT_EQ(front.statuses.back(), ".Export Complete!");
  EXPECT_EQ(front.previews, 0);  // no automatic preview after an export
}

TEST_F(Driver, ShutdownStopsARunningJobWithoutHandingItBack) {
  state.settings.setFlag(kStyleOutline, true);
  state.settings.outlineWidth = 20;
  ApplyTextureSize(state, "2048", "2048");
  std::string error;
  ASSERT_TRUE(driver.Generate(&error)) << error;
  driver.Shutdown();
  EXPECT_EQ(driver.liveJobs(), 0u);
  front.queue.runPending();  // a completion posted before shutdown finds nothing to do
  EXPECT_EQ(front.imageUpdates, 0);
}

TEST_F(Driver, AFittedTextureTakesTheSmallestSizeThatHoldsEveryCharacter) {
  state.settings.fontSize = 24;
  state.extras.fitTexture = true;
  state.extras.cellMode = kCellsCompact;
  for (uint32_t u = 32; u <= 126; ++u) state.selection[u] = 1;
  state.fontChanged = true;
  GenerateAndWait();
  EXPECT_EQ(state.statusText, status::kComplete);
  EXPECT_EQ(state.result.placedCount, kAllPlaced);
  const TextureSize expected = FitTextureSize(state.result.chars, state.settings.packOrigin, {4096, 4096});
  EXPECT_EQ(state.settings.textureWidth, expected.width);
  EXPECT_EQ(state.settings.textureHeight, expected.height);
  EXPECT_EQ(state.result.colour.width(), expected.width);
  EXPECT_EQ(state.result.mask.height(), expected.height);
  EXPECT_LT(expected.width, 512);  // smaller than the size set before
}

TEST_F(Driver, AFittedTextureBeyondItsMaximumTakesTheMaximumAndReportsTheRest) {
  state.settings.fontSize = 24;
  state.extras.fitTexture = true;
  state.extras.fitMaxWidth = 64;
  state.extras.fitMaxHeight = 48;
  GenerateAndWait();
  EXPECT_EQ(state.settings.textureWidth, 64);
  EXPECT_EQ(state.settings.textureHeight, 48);
  EXPECT_EQ(state.result.colour.width(), 64);
  ASSERT_LT(state.result.placedCount, static_cast<int32_t>(state.tables.selectedCount));
  EXPECT_EQ(state.statusText,
            status::CantFit(state.tables.selectedCount - static_cast<uint32_t>(state.result.placedCount)));
}

TEST_F(Driver, CompactCellsLowerThePreviewBand) {
  state.settings.fontSize = 24;
  GenerateAndWait();
  const uint32_t lineBand = state.tallestCell;
  state.extras.cellMode = kCellsCompact;
  GenerateAndWait();
  EXPECT_LE(state.tallestCell, lineBand + 2);  // only ink above or below the text line adds rows
  bool shorter = false;
  for (const PlacedCharacter& c : state.result.chars) shorter |= c.cellHeight < lineBand;
  EXPECT_TRUE(shorter);
}

}  // namespace
}  // namespace glyphmill
