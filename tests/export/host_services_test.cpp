#include "export/host_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "host/font_info_image.h"
#include "host/host_query.h"

#include "export/kerning_pairs.h"
#include "export_test_support.h"
#include "render/placement.h"
#include "settings/font_face.h"

namespace glyphmill {
namespace {

using testing_support::ExportWorld;
using testing_support::Plugin;
using testing_support::PluginFolder;
using testing_support::ReadReport;
using testing_support::Report;

std::vector<PlacedCharacter> Cells(std::initializer_list<std::pair<uint16_t, uint32_t>> codeAndWidth) {
  std::vector<PlacedCharacter> chars;
  for (auto [code, width] : codeAndWidth) {
    PlacedCharacter c;
    c.codeUnit = code;
    c.cellWidth = width;
    c.cellHeight = 5;
    c.drawOffsetY = 3;
    chars.push_back(c);
  }
  return chars;
}

// A job's result holding `chars`, placed in placement's order up to `placedCount`.
GenerationResult Placed(const std::vector<PlacedCharacter>& chars, int32_t placedCount) {
  GenerationResult result;
  result.chars = chars;
  result.placedCount = placedCount;
  result.sortOrder = SortOrder(chars);
  return result;
}

// The input of one export run's font information; `result` must outlive the HostFontInfo's
// construction.
HostFontInfoInput Input(const GenerationSettings& s, const GenerationResult& result, uint32_t charCount, int32_t ascent,
                        int32_t descent) {
  return HostFontInfoInput{&s, &result, charCount, ascent, descent};
}

// The records as the plug-in host rebuilds them from the program's image.
struct RebuiltRecords {
  std::vector<uint64_t> storage;  // 8-byte aligned, as the shared region is
  FontInfoRecords records;
  explicit RebuiltRecords(HostFontInfo& info) {
    const std::vector<uint8_t> image = info.image();
    storage.resize((image.size() + 7) / 8);
    std::memcpy(storage.data(), image.data(), image.size());
    records = *ReadFontInfoImage(reinterpret_cast<const uint8_t*>(storage.data()), image.size());
  }
};

TEST(HostQuery, AnswersOnlyInsideAScopeAndOnlyKnownIds) {
  EXPECT_EQ(glyphmill_host_query(GLYPHMILL_EXT_FONT_INFO_V1), nullptr);
  GenerationSettings s = FirstStartSettings();
  auto chars = Cells({{'a', 4}});
  HostFontInfo info(Input(s, Placed(chars, kAllPlaced), 1, 10, 3));
  RebuiltRecords rebuilt(info);
  {
    HostQueryScope scope(&rebuilt.records, nullptr);
    EXPECT_NE(glyphmill_host_query(GLYPHMILL_EXT_FONT_INFO_V1), nullptr);
    EXPECT_NE(glyphmill_host_query(GLYPHMILL_EXT_FONT_INFO_V2), nullptr);
    EXPECT_EQ(glyphmill_host_query("glyphmill.font-info/3"), nullptr);
    EXPECT_EQ(glyphmill_host_query(nullptr), nullptr);
  }
  EXPECT_EQ(glyphmill_host_query(GLYPHMILL_EXT_FONT_INFO_V1), nullptr);
}

TEST(HostFontInfo, PlacedFollowsTheSortOrderNotTheTableOrder) {
  GenerationSettings s = FirstStartSettings();
  // Keys 10, 30, 20: placement takes 'b', then 'c', then 'a'.
  auto chars = Cells({{'a', 10}, {'b', 30}, {'c', 20}});
  HostFontInfo one(Input(s, Placed(chars, 1), 3, 10, 3));
  EXPECT_EQ(one.placed(), (std::vector<uint8_t>{0, 1, 0}));
  HostFontInfo two(Input(s, Placed(chars, 2), 3, 10, 3));
  EXPECT_EQ(two.placed(), (std::vector<uint8_t>{0, 1, 1}));
  HostFontInfo all(Input(s, Placed(chars, kAllPlaced), 3, 10, 3));
  EXPECT_EQ(all.placed(), (std::vector<uint8_t>{1, 1, 1}));
  HostFontInfo none(Input(s, Placed(chars, 0), 3, 10, 3));
  EXPECT_EQ(none.placed(), (std::vector<uint8_t>{0, 0, 0}));
}

TEST(HostFontInfo, KerningPairsJoinOnlyCharactersOfTheSameFont) {
  // 'A' and 'V' are the chosen font's, 'T' and 'o' a fallback's: each pair is kerned by its own
  // font exactly as that font alone kerns it, and no pair mixes the two.
  GenerationSettings s = FirstStartSettings();
  s.setFontName("Liberation Serif");
  s.fontSize = 30;
  auto chars = Cells({{'A', 9}, {'T', 9}, {'V', 9}, {'o', 9}});
  chars[1].font = chars[3].font = 1;
  GenerationResult result = Placed(chars, kAllPlaced);
  ResolvedFont dejaVu;
  std::string error;
  ASSERT_TRUE(ResolveFont(FontRequest{"DejaVu Sans", 30, false, false}, &dejaVu, &error)) << error;
  result.fallbackFonts = {dejaVu};
  HostFontInfo info(Input(s, result, 4, 28, 7));
  const GlyphmillFontInfoV2* r = info.fontInfoV2();

  ResolvedFont serif;
  ASSERT_TRUE(ResolveFont(FontRequest{"Liberation Serif", 30, false, false}, &serif, &error)) << error;
  std::vector<GlyphmillKerningPair> expected = ComputeKerningPairs({serif.path, serif.faceIndex, 40}, {'A', 'V'});
  const std::vector<GlyphmillKerningPair> fallbackPairs =
      ComputeKerningPairs({dejaVu.path, dejaVu.faceIndex, 40}, {'T', 'o'});
  expected.insert(expected.end(), fallbackPairs.begin(), fallbackPairs.end());
  std::sort(expected.begin(), expected.end(),
            [](const auto& a, const auto& b) { return a.first != b.first ? a.first < b.first : a.second < b.second; });
  ASSERT_FALSE(fallbackPairs.empty()) << "DejaVu Sans kerns T o";
  ASSERT_EQ(r->kerning_count, expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(r->kernings[i].first, expected[i].first) << i;
    EXPECT_EQ(r->kernings[i].second, expected[i].second) << i;
    EXPECT_EQ(r->kernings[i].amount, expected[i].amount) << i;
    const bool firstFallback = r->kernings[i].first == 'T' || r->kernings[i].first == 'o';
    const bool secondFallback = r->kernings[i].second == 'T' || r->kernings[i].second == 'o';
    EXPECT_EQ(firstFallback, secondFallback) << char(r->kernings[i].first) << char(r->kernings[i].second);
  }
}

TEST(HostFontInfo, RecordFieldsAndLazyKerning) {
  GenerationSettings s = FirstStartSettings();
  s.setFontName("DejaVu Sans");
  s.fontSize = 30;
  s.setFlag(kStyleOutline, true);
  s.outlineWidth = 2;
  s.setFlag(kStyleBold, true);
  s.antialiasMode = kAntialiasNone;
  auto chars = Cells({{'A', 9}, {'V', 9}});
  HostFontInfo info(Input(s, Placed(chars, kAllPlaced), 2, 28, 7));
  EXPECT_FALSE(info.kerningComputed());
  const GlyphmillFontInfoV1* r = info.fontInfo();
  EXPECT_TRUE(info.kerningComputed());
  EXPECT_EQ(r->struct_size, sizeof(GlyphmillFontInfoV1));
  EXPECT_EQ(r->point_size, 30);
  EXPECT_EQ(r->pixel_size, 40);  // 30 points at 96 pixels per inch
  EXPECT_EQ(r->line_height, 5);
  EXPECT_EQ(r->base, 3 + 28);
  EXPECT_EQ(r->ascent, 28);
  EXPECT_EQ(r->descent, 7);
  EXPECT_EQ(r->outline_width, 2);
  EXPECT_EQ(r->bold, 1);
  EXPECT_EQ(r->italic, 0);
  EXPECT_EQ(r->antialias_mode, 2);
  EXPECT_STREQ(r->face_name, "DejaVu Sans");
  EXPECT_EQ(r->char_count, 2u);
  ASSERT_GE(r->kerning_count, 1u);
  EXPECT_EQ(r->kernings[0].first, 'A');
  EXPECT_EQ(r->kernings[0].second, 'V');
  EXPECT_LT(r->kernings[0].amount, 0);

  s.setFlag(kStyleOutline, false);
  HostFontInfo plain(Input(s, Placed(chars, kAllPlaced), 2, 28, 7));
  EXPECT_EQ(plain.fontInfo()->outline_width, 0);
}

TEST(HostFontInfo, VersionTwoGivesTheFontLineAndEachCharactersOffsets) {
  GenerationSettings s = FirstStartSettings();
  s.setFontName("DejaVu Sans");
  s.setFlag(kStyleOutline, true);
  s.outlineWidth = 3;
  auto chars = Cells({{'A', 9}, {'V', 9}});
  chars[0].drawOffsetX = 4;
  chars[1].drawOffsetX = -2;
  chars[1].drawOffsetY = 7;
  HostFontInfo info(Input(s, Placed(chars, 1), 2, 28, 7));
  const GlyphmillFontInfoV2* r = info.fontInfoV2();
  EXPECT_EQ(r->struct_size, sizeof(GlyphmillFontInfoV2));
  EXPECT_EQ(r->line_height, 28 + 7);  // the font's, not the cell's 5
  EXPECT_EQ(r->ascent, 28);
  EXPECT_EQ(r->descent, 7);
  EXPECT_EQ(r->outline_width, 3);
  EXPECT_EQ(r->distance_range, 0u);
  ASSERT_EQ(r->char_count, 2u);
  ASSERT_NE(r->geometry, nullptr);
  EXPECT_EQ(r->geometry[0].draw_offset_x, 4);
  EXPECT_EQ(r->geometry[0].draw_offset_y, 3);
  EXPECT_EQ(r->geometry[1].draw_offset_x, -2);
  EXPECT_EQ(r->geometry[1].draw_offset_y, 7);
  EXPECT_EQ(r->placed[0] + r->placed[1], 1);
  // Both versions share one kerning computation.
  EXPECT_EQ(r->kernings, info.fontInfo()->kernings);
  EXPECT_EQ(info.fontInfo()->line_height, 5);
}

TEST(HostFontInfo, ADistanceFieldStatesTwiceItsSpreadAndNoBakedOutline) {
  GenerationSettings s = FirstStartSettings();
  s.setFontName("DejaVu Sans");
  s.setFlag(kStyleOutline, true);
  s.outlineWidth = 3;
  s.antialiasMode = kAntialiasDistanceField;
  auto chars = Cells({{'A', 9}});
  GenerationResult result = Placed(chars, kAllPlaced);
  result.fieldSpread = 6;
  const HostFontInfoInput input = Input(s, result, 1, 28, 7);
  HostFontInfo info(input);
  EXPECT_EQ(info.fontInfoV2()->distance_range, 12u);
  EXPECT_EQ(info.fontInfoV2()->antialias_mode, 3);
  // The outline is the engine's to draw from the field: none is in the texture.
  EXPECT_EQ(info.fontInfoV2()->outline_width, 0);
  EXPECT_EQ(info.fontInfo()->outline_width, 0);
  // The same spread in a coverage mode states no field.
  s.antialiasMode = kAntialiasSmooth;
  HostFontInfo coverage(input);
  EXPECT_EQ(coverage.fontInfoV2()->distance_range, 0u);
  EXPECT_EQ(coverage.fontInfoV2()->outline_width, 3);
}

TEST(HostFontInfo, APluginReadsItDuringItsExportCall) {
  PluginFolder folder({Plugin("simple_quiet")});
  ExportWorld w;
  w.result.chars = Cells({{'A', 10}, {'V', 30}, {'x', 20}});
  w.result.placedCount = 2;
  w.discover();
  w.dialogs.queueAnswer(true);  // export although one character did not fit
  ExportContext ctx = w.context();
  RunExport(ctx, 0);
  Report r = ReadReport("simple_quiet.report");
  ASSERT_TRUE(r.exists);
  EXPECT_EQ(r.get("host"), "present");
  EXPECT_EQ(r.get("host.unknown"), "");
  EXPECT_EQ(r.get("host.face"), "DejaVu Sans");
  EXPECT_EQ(r.get("host.pixel_size"), std::to_string(EmPixels(24)));
  EXPECT_EQ(r.get("host.base"), "21");  // draw offset 3 + ascent 18
  EXPECT_EQ(r.get("host.char_count"), "3");
  EXPECT_EQ(r.get("host.placed"), "011");
  EXPECT_FALSE(r.all("host.kern").empty());
  bool av = false;
  for (const std::string& k : r.all("host.kern")) av = av || k.rfind("65 86 -", 0) == 0;
  EXPECT_TRUE(av);
}

}  // namespace
}  // namespace glyphmill
