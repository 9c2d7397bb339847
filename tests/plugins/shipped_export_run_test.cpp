// The shipped exporters on the real host path: discovered by the plug-in registry from the build's
// plugins folder, run by the export run (in its child process, with the host's font information)
// on a texture generated from DejaVu Sans, and read back.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/app_state.h"
#include "app/generation_driver.h"
#include "app/texture_size.h"
#include "export/scripted_dialogs.h"
#include "settings/character_selection.h"
#include "tests/app/test_front_end.h"
#include "tests/plugins/plugin_test_support.h"

namespace glyphmill::plugintest {
namespace {

class ShippedExportRun : public ::testing::Test {
 protected:
  void SetUp() override {
    state.settings = FirstStartSettings();
    state.settings.setFontName("DejaVu Sans");
    state.settings.fontSize = 14;
    SetDefaultSelection(state.selection);
    UseTextureSize("256");
    state.registry.Discover(dialogs, state.jobs, GLYPHMILL_TEST_PLUGIN_DIR);
    ASSERT_TRUE(dialogs.entries(ScriptedDialogs::Kind::Message).empty()) << "a plug-in failed to load";
    dialogs.clearLog();
  }

  void UseTextureSize(const std::string& side) { ApplyTextureSize(state, side, side); }

  int32_t IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < state.registry.size(); ++i) {
      if (state.registry.at(i).Name == name) return static_cast<int32_t>(i);
    }
    return -1;
  }

  // A quick export (registry index) or the job queue (-1), with the generation it starts.
  void ExportAndWait(int32_t pluginIndex) {
    std::string error;
    ASSERT_TRUE(driver.RequestExport(pluginIndex, FontRequestFromSettings(state.settings), &error)) << error;
    ASSERT_TRUE(front.queue.runUntil([&] { return driver.liveJobs() == 0; }));
    ASSERT_EQ(front.statuses.back(), ".Export Complete!");
  }

  void QueueJob(const std::string& name, bool colour, bool alpha) {
    TExportJob job;
    job.UseRGB = colour;
    job.UseAlpha = alpha;
    job.PluginIndex = IndexOf(name);
    job.PluginName[0] = static_cast<uint8_t>(name.size());
    std::copy(name.begin(), name.end(), job.PluginName.begin() + 1);
    state.jobs.push_back(job);
  }

  std::vector<std::string> ErrorMessages() const {
    std::vector<std::string> texts;
    for (const auto& e : dialogs.entries(ScriptedDialogs::Kind::Message)) texts.push_back(e.message.text);
    return texts;
  }

  // The generated texture and mask as a decoded RGBA page holds them.
  std::vector<uint8_t> TextureAsRgba() const {
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < state.img.height(); ++y) {
      for (int32_t x = 0; x < state.img.width(); ++x) {
        const Bgr c = state.img.pixel(x, y);
        out.insert(out.end(), {c.r, c.g, c.b, state.mask.pixel(x, y).b});
      }
    }
    return out;
  }

  AppState state;
  glyphmill::testing::TestFrontEnd front;
  ScriptedDialogs dialogs;
  GenerationDriver driver{state, front, dialogs};
  ScratchFolder dir;
};

TEST_F(ShippedExportRun, RegistryFindsEveryShippedExporterUsable) {
  for (const char* name : {"BMFont Text", "BMFont XML", "BMFont Binary", "PNG Image", "TGA Image", "JSON Metrics"}) {
    const int32_t index = IndexOf(name);
    ASSERT_GE(index, 0) << name;
    EXPECT_TRUE(state.registry.at(static_cast<std::size_t>(index)).Usable) << name;
  }
  EXPECT_TRUE(state.registry.hasSimpleExporter());
}

TEST_F(ShippedExportRun, EachBmFontFormDescribesTheGeneratedFont) {
  std::vector<BmFont> fonts;
  for (const char* name : {"BMFont Text", "BMFont XML", "BMFont Binary"}) {
    SCOPED_TRACE(name);
    const std::string stem = dir.file(std::string("font") + std::to_string(fonts.size()));
    dialogs.queueSavePath(stem + ".txt");  // the host forces the extension to .fnt
    ExportAndWait(IndexOf(name));
    ASSERT_TRUE(ErrorMessages().empty()) << ErrorMessages()[0];
    const std::string path = stem + ".fnt";
    fonts.push_back(fonts.size() == 0   ? ParseBmFontText(ReadText(path))
                    : fonts.size() == 1 ? ParseBmFontXml(ReadText(path))
                                        : ParseBmFontBinary(ReadBytes(path)));
    const BmFont& font = fonts.back();

    EXPECT_EQ(font.face, "DejaVu Sans");
    EXPECT_EQ(font.size, 19);  // 14 points at 96 pixels per inch
    EXPECT_EQ(font.scaleW, 256);
    EXPECT_EQ(font.scaleH, 256);
    ASSERT_FALSE(state.placed.empty());
    EXPECT_EQ(font.lineHeight, static_cast<int64_t>(state.placed[0].cellHeight));
    EXPECT_GT(font.base, 0);
    EXPECT_LE(font.base, font.lineHeight);

    // Every generated character, with its cell and advances, plus the space.
    ASSERT_EQ(font.chars.size(), state.placed.size() + 1);
    EXPECT_EQ(font.chars[0].id, 32);
    for (std::size_t i = 0; i < state.placed.size(); ++i) {
      const PlacedCharacter& p = state.placed[i];
      EXPECT_EQ(font.chars[i + 1], (BmChar{p.codeUnit, p.cellX, p.cellY, p.cellWidth, p.cellHeight, p.advanceBefore, 0,
                                           p.advanceBefore + p.advanceAfter, 0, 15}));
    }
    // DejaVu Sans kerns pairs such as "AV"; each listed pair is between listed characters.
    EXPECT_FALSE(font.kernings.empty());
    for (const BmKerning& k : font.kernings) {
      EXPECT_NE(k.amount, 0);
      EXPECT_TRUE(std::any_of(font.chars.begin(), font.chars.end(), [&](const BmChar& c) { return c.id == k.first; }));
      EXPECT_TRUE(std::any_of(font.chars.begin(), font.chars.end(), [&](const BmChar& c) { return c.id == k.second; }));
    }

    // The page beside the descriptor is the generated texture with the mask as its alpha.
    ASSERT_EQ(font.pageFiles.size(), 1u);
    const DecodedImage page = ReadPng(dir.file(font.pageFiles[0]));
    ASSERT_EQ(page.channels, 4);
    EXPECT_EQ(page.width, 256u);
    EXPECT_EQ(page.height, 256u);
    EXPECT_EQ(page.pixels, TextureAsRgba());
  }
  EXPECT_EQ(fonts[1].chars, fonts[0].chars);
  EXPECT_EQ(fonts[2].chars, fonts[0].chars);
  EXPECT_EQ(fonts[1].kernings, fonts[0].kernings);
  EXPECT_EQ(fonts[2].kernings, fonts[0].kernings);
}

TEST_F(ShippedExportRun, ABatchWritesImagesAndMetricsWithTheChosenBuffers) {
  QueueJob("PNG Image", true, true);
  QueueJob("PNG Image", false, true);
  QueueJob("TGA Image", true, false);
  QueueJob("JSON Metrics", false, false);
  dialogs.queueSavePath(dir.file("both"));
  dialogs.queueSavePath(dir.file("alpha"));
  dialogs.queueSavePath(dir.file("colour"));
  dialogs.queueSavePath(dir.file("metrics"));
  ExportAndWait(-1);
  ASSERT_TRUE(ErrorMessages().empty()) << ErrorMessages()[0];

  const DecodedImage both = ReadPng(dir.file("both.png"));
  ASSERT_EQ(both.channels, 4);
  EXPECT_EQ(both.pixels, TextureAsRgba());

  const DecodedImage alpha = ReadPng(dir.file("alpha.png"));
  ASSERT_EQ(alpha.channels, 1);
  ASSERT_EQ(alpha.pixels.size(), 256u * 256u);
  for (int32_t y = 0; y < 256; ++y) {
    for (int32_t x = 0; x < 256; ++x) ASSERT_EQ(alpha.pixels[y * 256 + x], state.mask.pixel(x, y).b) << x << "," << y;
  }

  const TgaFile tga = ReadTga(dir.file("colour.tga"));
  EXPECT_EQ(tga.depth, 24);
  ASSERT_EQ(tga.pixels.size(), 256u * 256u * 3);
  EXPECT_TRUE(std::equal(tga.pixels.begin(), tga.pixels.end(), state.img.data()));

  // The host forces its own form of the extension onto the chosen name; take whatever it made.
  std::string metrics;
  for (const std::string& name : dir.entries()) {
    if (name.rfind("metrics.", 0) == 0) metrics = name;
  }
  ASSERT_FALSE(metrics.empty());
  const auto doc = nlohmann::json::parse(ReadText(dir.file(metrics)));
  EXPECT_EQ(doc.at("width"), 256);
  EXPECT_EQ(doc.at("spaceAdvance"), state.tables.spaceAdvance);
  ASSERT_EQ(doc.at("characters").size(), state.placed.size());
  EXPECT_EQ(doc.at("characters")[0].at("code"), state.placed[0].codeUnit);
  EXPECT_EQ(doc.at("font").at("face"), "DejaVu Sans");
}

TEST_F(ShippedExportRun, CharactersThatDidNotFitAreLeftOut) {
  UseTextureSize("64");
  dialogs.queueAnswer(true);  // "export anyway?"
  dialogs.queueSavePath(dir.file("small.fnt"));
  ExportAndWait(IndexOf("BMFont Text"));
  ASSERT_TRUE(ErrorMessages().empty()) << ErrorMessages()[0];
  ASSERT_LT(state.placedCount, static_cast<int32_t>(state.placed.size()));

  const BmFont font = ParseBmFontText(ReadText(dir.file("small.fnt")));
  EXPECT_EQ(font.chars.size(), static_cast<std::size_t>(state.placedCount) + 1);
  // The listed cells lie inside the page and never overlap, so no left-over record at 0, 0 slipped in.
  for (std::size_t a = 0; a < font.chars.size(); ++a) {
    const BmChar& p = font.chars[a];
    EXPECT_LE(p.x + p.width, 64);
    EXPECT_LE(p.y + p.height, 64);
    for (std::size_t b = a + 1; b < font.chars.size(); ++b) {
      const BmChar& q = font.chars[b];
      const bool overlap = p.width > 0 && q.width > 0 && p.x < q.x + q.width && q.x < p.x + p.width &&
                           p.y < q.y + q.height && q.y < p.y + p.height;
      EXPECT_FALSE(overlap) << p.id << " and " << q.id;
    }
  }
}

TEST_F(ShippedExportRun, AWriteFailureIsReportedWithThePluginsNameAndReason) {
  const std::string path = dir.file("missing/font.fnt");
  dialogs.queueSavePath(path);
  ExportAndWait(IndexOf("BMFont XML"));
  const auto messages = ErrorMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("BMFont XML plugin."), std::string::npos) << messages[0];
  EXPECT_NE(messages[0].find("Cannot write \"" + dir.file("missing/font_0.png") + "\": No such file or directory"),
            std::string::npos)
      << messages[0];
  EXPECT_TRUE(dir.entries().empty());
}

}  // namespace
}  // namespace glyphmill::plugintest
