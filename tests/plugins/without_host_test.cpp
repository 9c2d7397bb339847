// The exporters in a host that offers no services beyond the fixed records: this program exports
// no glyphmill_host_query at all, as a host written only against plugin.h would.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/plugins/plugin_test_support.h"

namespace glyphmill::plugintest {
namespace {

TEST(WithoutHostServices, TheQueryIsReallyAbsent) {
  EXPECT_EQ(dlsym(RTLD_DEFAULT, GLYPHMILL_HOST_QUERY_SYMBOL), nullptr);
}

TEST(WithoutHostServices, EveryBmFontFormFallsBackToTheRecords) {
  const TestTexture t = MakeTexture(128, 64);
  auto chars = MakeCharTable(12, 128, 10, 14);
  chars[11].X = chars[11].Y = 0;  // maybe unplaced: without the host it is listed all the same
  ScratchFolder dir;
  std::vector<BmFont> fonts;
  for (const char* lib : {"bmfont_text.so", "bmfont_xml.so", "bmfont_binary.so"}) {
    const std::string path = dir.file(std::string(lib) + ".fnt");
    TSimpleExportInfo r{};
    r.FileName = path.c_str();
    r.Width = t.width;
    r.Height = t.height;
    r.RGB = t.bgr.data();
    r.Alpha = t.alpha.data();
    r.CharCount = static_cast<uint32_t>(chars.size());
    r.SpaceAdvance = 4;
    r.Chars = chars.data();
    LoadedPlugin(lib).simpleExport(r);
    const std::string name(lib);
    fonts.push_back(name == "bmfont_binary.so" ? ParseBmFontBinary(ReadBytes(path))
                    : name == "bmfont_xml.so"  ? ParseBmFontXml(ReadText(path))
                                               : ParseBmFontText(ReadText(path)));
  }
  for (const BmFont& font : fonts) {
    EXPECT_EQ(font.face, "");
    EXPECT_EQ(font.size, 14);
    EXPECT_EQ(font.lineHeight, 14);
    EXPECT_EQ(font.base, 14);
    EXPECT_EQ(font.scaleW, 128);
    EXPECT_EQ(font.scaleH, 64);
    ASSERT_EQ(font.chars.size(), chars.size() + 1);
    EXPECT_EQ(font.chars[0], (BmChar{32, 0, 0, 0, 0, 0, 0, 4, 0, 15}));
    EXPECT_EQ(font.chars.back().id, chars.back().Code);
    EXPECT_TRUE(font.kernings.empty());
    EXPECT_EQ(font.chars, fonts[0].chars);
  }
}

TEST(WithoutHostServices, JsonMetricsListsTheRecordsOnly) {
  const auto chars = MakeCharTable(3, 64, 8, 8);
  ScratchFolder dir;
  const std::string path = dir.file("m.json");
  TDataExportInfo r{};
  r.FileName = path.c_str();
  r.CharCount = 3;
  r.Width = 64;
  r.Height = 64;
  r.Chars = chars.data();
  LoadedPlugin("json_metrics.so").dataExport(r);
  const auto doc = nlohmann::json::parse(ReadText(path));
  EXPECT_EQ(doc.at("characters").size(), 3u);
  EXPECT_FALSE(doc.contains("font"));
}

TEST(WithoutHostServices, AFailureStillReachesTheHostAsAnException) {
  // Without a failure report service an exception is the one way to tell the host.
  ScratchFolder dir;
  const std::string path = dir.file("out.png");
  TGraphicExportInfo r{};
  r.FileName = path.c_str();
  r.Width = 8;
  r.Height = 8;
  EXPECT_THROW(LoadedPlugin("png_image.so").graphicExport(r), std::runtime_error);
  EXPECT_TRUE(dir.entries().empty());
}

}  // namespace
}  // namespace glyphmill::plugintest
