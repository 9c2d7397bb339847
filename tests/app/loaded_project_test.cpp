#include "app/loaded_project.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace glyphmill {
namespace {

// A project as a file would give it: DejaVu Sans, the default selection, one job.
ProjectData Project() {
  ProjectData p;
  p.settings = FirstStartSettings();
  p.settings.setFontName("DejaVu Sans");
  p.settings.textureWidth = 512;
  p.settings.textureHeight = 256;
  SetDefaultSelection(p.selection);
  TExportJob job;
  job.PluginIndex = 0;
  p.jobs.push_back(job);
  return p;
}

// The state as start-up leaves it: a 128 x 64 texture, the font measured.
void Start(AppState& state) {
  state.settings = FirstStartSettings();
  state.settings.textureWidth = 128;
  state.settings.textureHeight = 64;
  state.fontChanged = false;
}

TEST(ApplyLoadedProject, TakesTheRecordTheSelectionAndTheJobs) {
  AppState state;
  Start(state);
  ProjectData p = Project();
  p.extensions.extras.fitTexture = true;
  std::vector<std::string> statuses;
  const AppliedProject applied = ApplyLoadedProject(state, p, [&](const std::string& s) { statuses.push_back(s); });
  EXPECT_EQ(state.settings.fontNameString(), "DejaVu Sans");
  EXPECT_EQ(state.settings.textureWidth, 512);
  EXPECT_EQ(state.settings.textureHeight, 256);
  EXPECT_EQ(state.selection, p.selection);
  ASSERT_EQ(state.jobs.size(), 1u);
  EXPECT_TRUE(state.extras.fitTexture);  // the extension block is taken as well
  EXPECT_FALSE(applied.sizeOutOfRange);
  EXPECT_FALSE(applied.limitNotice.has_value());
  EXPECT_TRUE(statuses.empty());
}

TEST(ApplyLoadedProject, CountsTheSelectionAtOnceAndMarksTheFontChanged) {
  AppState state;
  Start(state);
  state.tables.selectedCount = 7;  // a stale count from the previous font
  ProjectData p = Project();
  p.selection.fill(0);
  for (uint16_t c : {u'A', u'B', u'C', u'\u4E00'}) p.selection[c] = 1;
  ApplyLoadedProject(state, p, nullptr);
  EXPECT_EQ(state.tables.selectedCount, 4u);
  EXPECT_TRUE(state.fontChanged);  // pruned against the font at the next measurement
}

TEST(ApplyLoadedProject, LimitsValuesNoControlOffersAndNamesThem) {
  AppState state;
  Start(state);
  ProjectData p = Project();
  p.settings.outlineWidth = 65535;
  p.settings.leading = INT32_MIN;
  const AppliedProject applied = ApplyLoadedProject(state, p, nullptr);
  EXPECT_EQ(state.settings.outlineWidth, 20);
  EXPECT_EQ(state.settings.leading, -100);
  ASSERT_TRUE(applied.limitNotice.has_value());
  EXPECT_EQ(*applied.limitNotice,
            "!Project values out of range were limited: leading -2147483648 -> -100, outlineWidth 65535 -> 20");
}

TEST(ApplyLoadedProject, ATextureSizeNoTextureCanHaveKeepsThePreviousSize) {
  for (const auto& [width, height] : std::vector<std::pair<uint16_t, uint16_t>>{{0, 256}, {256, 20000}, {16385, 0}}) {
    AppState state;
    Start(state);
    ProjectData p = Project();
    p.settings.textureWidth = width;
    p.settings.textureHeight = height;
    p.settings.fontSize = 200;  // limited as well
    const AppliedProject applied = ApplyLoadedProject(state, p, nullptr);
    EXPECT_TRUE(applied.sizeOutOfRange) << width << "x" << height;
    EXPECT_EQ(applied.loadedWidth, width);
    EXPECT_EQ(applied.loadedHeight, height);
    EXPECT_EQ(state.settings.textureWidth, 128);
    EXPECT_EQ(state.settings.textureHeight, 64);
    // The rest of the project is taken all the same.
    EXPECT_EQ(state.settings.fontNameString(), "DejaVu Sans");
    EXPECT_EQ(state.settings.fontSize, 120);
    EXPECT_TRUE(applied.limitNotice.has_value());
  }
  AppState state;
  Start(state);
  ProjectData p = Project();
  p.settings.textureWidth = 16384;
  p.settings.textureHeight = 1;
  EXPECT_FALSE(ApplyLoadedProject(state, p, nullptr).sizeOutOfRange);
  EXPECT_EQ(state.settings.textureWidth, 16384);
}

TEST(ApplyLoadedProject, AMissingFontFileIsNamedAndTheStoredNameStays) {
  AppState state;
  Start(state);
  ProjectData p = Project();
  p.settings.setFontName("Gone Sans");
  p.extensions.fontFile = ProjectFontFile{0, "/nonexistent/gone.ttf"};
  std::vector<std::string> statuses;
  ApplyLoadedProject(state, p, [&](const std::string& s) { statuses.push_back(s); });
  EXPECT_EQ(state.settings.fontNameString(), "Gone Sans");
  ASSERT_EQ(statuses.size(), 1u);
  EXPECT_NE(statuses[0].find("/nonexistent/gone.ttf"), std::string::npos) << statuses[0];
  // Without adding the font file (another one was named) nothing is said.
  AppState other;
  Start(other);
  ProjectData q = Project();
  q.extensions.fontFile = ProjectFontFile{0, "/nonexistent/gone.ttf"};
  statuses.clear();
  ApplyLoadedProject(
      other, q, [&](const std::string& s) { statuses.push_back(s); }, false);
  EXPECT_TRUE(statuses.empty());
}

}  // namespace
}  // namespace glyphmill
