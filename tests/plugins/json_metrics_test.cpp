// "JSON Metrics": the character table as JSON, read back with nlohmann/json.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/plugins/plugin_test_support.h"
#include "tests/plugins/test_font_info_host.h"

namespace glyphmill::plugintest {
namespace {

class JsonMetricsExport : public ::testing::Test {
 protected:
  void TearDown() override { OfferFontInfo(nullptr); }

  nlohmann::json Export() {
    const std::string path = dir.file("metrics.json");
    TDataExportInfo r{};
    r.FileName = path.c_str();
    r.CharCount = static_cast<uint32_t>(chars.size());
    r.SpaceAdvance = -3;
    r.Width = 512;
    r.Height = 256;
    r.Chars = chars.empty() ? nullptr : chars.data();
    LoadedPlugin("json_metrics.so").dataExport(r);
    return nlohmann::json::parse(ReadText(path));
  }

  std::vector<TExportCharInfo> chars = MakeCharTable(40, 512, 24, 30);
  ScratchFolder dir;
};

TEST_F(JsonMetricsExport, MatchesTheRecordsOneForOne) {
  const nlohmann::json doc = Export();
  EXPECT_EQ(doc.at("width"), 512);
  EXPECT_EQ(doc.at("height"), 256);
  EXPECT_EQ(doc.at("spaceAdvance"), -3);
  const auto& list = doc.at("characters");
  ASSERT_EQ(list.size(), chars.size());
  for (std::size_t i = 0; i < chars.size(); ++i) {
    SCOPED_TRACE(i);
    const auto& e = list[i];
    EXPECT_EQ(e.at("code"), chars[i].Code);
    EXPECT_EQ(e.at("x"), chars[i].X);
    EXPECT_EQ(e.at("y"), chars[i].Y);
    EXPECT_EQ(e.at("width"), chars[i].Width);
    EXPECT_EQ(e.at("height"), chars[i].Height);
    EXPECT_EQ(e.at("preAdvance"), chars[i].PreAdvance);
    EXPECT_EQ(e.at("postAdvance"), chars[i].PostAdvance);
    EXPECT_FALSE(e.contains("placed"));
  }
  // Only the host knows the font; without it nothing is invented.
  EXPECT_FALSE(doc.contains("font"));
  EXPECT_FALSE(doc.contains("kernings"));
}

TEST_F(JsonMetricsExport, AddsTheHostsFontPlacementAndKernings) {
  TestFontInfo host;
  host.face = "Liberation Serif";
  host.placed.assign(chars.size(), 1);
  host.placed[39] = 0;
  host.kernings = {{33, 34, -1}, {35, 36, 0}};
  host.record.struct_size = sizeof(GlyphmillFontInfoV1);
  host.record.point_size = 10;
  host.record.pixel_size = 13;
  host.record.line_height = 30;
  host.record.base = 12;
  host.record.italic = 1;
  OfferFontInfo(host.bind());
  const nlohmann::json doc = Export();
  const auto& font = doc.at("font");
  EXPECT_EQ(font.at("face"), "Liberation Serif");
  EXPECT_EQ(font.at("pointSize"), 10);
  EXPECT_EQ(font.at("pixelSize"), 13);
  EXPECT_EQ(font.at("base"), 12);
  EXPECT_EQ(font.at("italic"), true);
  EXPECT_EQ(font.at("bold"), false);
  EXPECT_EQ(doc.at("characters")[0].at("placed"), true);
  EXPECT_EQ(doc.at("characters")[39].at("placed"), false);
  EXPECT_EQ(doc.at("kernings"), nlohmann::json::parse("[[33, 34, -1]]"));
}

TEST_F(JsonMetricsExport, AFaceNameThatIsNotUtf8StillGivesValidJson) {
  TestFontInfo host;
  host.face =
      "Bad\xFF"
      "Face";
  host.record.struct_size = sizeof(GlyphmillFontInfoV1);
  OfferFontInfo(host.bind());
  const nlohmann::json doc = Export();
  EXPECT_EQ(doc.at("font").at("face"),
            "Bad\xEF\xBF\xBD"
            "Face");  // U+FFFD in place of the bad byte
}

TEST_F(JsonMetricsExport, AnEmptyTableGivesAnEmptyList) {
  chars.clear();
  const nlohmann::json doc = Export();
  EXPECT_TRUE(doc.at("characters").is_array());
  EXPECT_TRUE(doc.at("characters").empty());
}

TEST_F(JsonMetricsExport, SameInputGivesTheSameBytes) {
  Export();
  const auto first = ReadBytes(dir.file("metrics.json"));
  Export();
  EXPECT_EQ(ReadBytes(dir.file("metrics.json")), first);
}

}  // namespace
}  // namespace glyphmill::plugintest
