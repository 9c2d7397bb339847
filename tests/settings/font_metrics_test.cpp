#include "settings/font_metrics.h"

#include <gtest/gtest.h>

#include "settings/rounding.h"
#include "tests/settings/font_test_util.h"

#include FT_ADVANCES_H

namespace glyphmill {
namespace {

using testing::kDejaVuSans;
using testing::kLiberationSerif;

class Measurement : public ::testing::Test {
 protected:
  void SetUp() override { SetDefaultSelection(selection); }
  bool Measure(const FontRequest& font, int32_t kerning = 0) {
    std::string error;
    bool ok = measurer.Measure(font, kerning, selection, fontChanged, tables, &error);
    EXPECT_TRUE(ok) << error;
    return ok;
  }
  FontMeasurer measurer;
  FontTables tables;
  CharacterSelection selection{};
  bool fontChanged = true;
};

TEST_F(Measurement, PrunesUnsupportedCodeUnitsOnceAfterAFontChange) {
  selection[0x4E00] = 1;  // CJK: not in DejaVu Sans
  selection[0x0416] = 1;  // Cyrillic: in DejaVu Sans
  ASSERT_TRUE(Measure({kDejaVuSans, 32, false, false}));
  EXPECT_FALSE(fontChanged);
  EXPECT_EQ(selection[0x4E00], 0);
  EXPECT_EQ(selection[0x0416], 1);
  // 33..126 are in the font; 127..132 are control characters DejaVu has no glyphs for.
  uint32_t expected = 0;
  for (int u = 33; u <= 132; ++u) expected += tables.fontSupport[u] ? 1 : 0;
  EXPECT_EQ(tables.selectedCount, expected + 1);
  EXPECT_EQ(tables.selectedCount, CountSelected(selection));
  EXPECT_EQ(selection[127], 0);

  // Without a font change nothing is pruned again.
  selection[0x4E00] = 1;
  ASSERT_TRUE(Measure({kDejaVuSans, 32, false, false}));
  EXPECT_EQ(selection[0x4E00], 1);

  // A later font change does not bring pruned code units back.
  fontChanged = true;
  ASSERT_TRUE(Measure({kLiberationSerif, 32, false, false}));
  EXPECT_EQ(selection[127], 0);
  EXPECT_EQ(selection[0x4E00], 0);
}

TEST_F(Measurement, SupportListMatchesTheSupportFlags) {
  ASSERT_TRUE(Measure({kDejaVuSans, 12, false, false}));
  int32_t flagged = 0;
  for (uint8_t f : tables.fontSupport) flagged += f ? 1 : 0;
  EXPECT_EQ(tables.supportedCount, flagged);
  for (int32_t i = 1; i < tables.supportedCount; ++i) ASSERT_LT(tables.supportedList[i - 1], tables.supportedList[i]);
  for (int32_t i = 0; i < tables.supportedCount; ++i) ASSERT_TRUE(tables.fontSupport[tables.supportedList[i]]);
}

TEST_F(Measurement, SpaceAdvanceAddsHalfTheKerningRoundedToEven) {
  ASSERT_TRUE(Measure({kDejaVuSans, 32, false, false}, 0));
  const int32_t plain = tables.spaceAdvance;
  FontFace* face = measurer.face();
  FT_Fixed adv = 0;
  ASSERT_EQ(FT_Get_Advance(face->face(), face->glyphIndex(' '), FT_LOAD_DEFAULT, &adv), 0);
  EXPECT_EQ(plain, static_cast<int32_t>((adv + 0x8000) >> 16));
  ASSERT_TRUE(Measure({kDejaVuSans, 32, false, false}, 2));
  EXPECT_EQ(tables.spaceAdvance, plain + 1);
  // plain + 0.5 and plain + 1.5: one of them is a half rounded down to the even neighbour.
  ASSERT_TRUE(Measure({kDejaVuSans, 32, false, false}, 1));
  EXPECT_EQ(tables.spaceAdvance, plain % 2 == 0 ? plain : plain + 1);
  ASSERT_TRUE(Measure({kDejaVuSans, 32, false, false}, 3));
  EXPECT_EQ(tables.spaceAdvance, plain % 2 == 0 ? plain + 2 : plain + 1);
  ASSERT_TRUE(Measure({kDejaVuSans, 32, false, false}, -1));
  EXPECT_EQ(tables.spaceAdvance, plain % 2 == 0 ? plain : plain - 1);
}

TEST_F(Measurement, HeightsAreTheLineHeightForSelectedCodeUnits) {
  ASSERT_TRUE(Measure({kDejaVuSans, 32, false, false}));
  const int32_t line = tables.ascent + tables.descent;
  EXPECT_GT(line, 43);
  EXPECT_EQ(tables.glyphHeights['A'], line);
  EXPECT_EQ(tables.glyphHeights['g'], line);
  EXPECT_EQ(tables.glyphHeights[0x400], 0);  // not selected: not written
}

TEST_F(Measurement, CodeUnitsTheFontLacksTakeGlyphZeroMetrics) {
  ASSERT_TRUE(Measure({kDejaVuSans, 32, false, false}));
  GlyphABC notdef;
  ASSERT_TRUE(measurer.face()->measureGlyph(0, &notdef));
  EXPECT_EQ(tables.glyphMetrics[0x4E00], notdef);
  EXPECT_EQ(tables.glyphMetrics[0xE000], notdef);
}

TEST_F(Measurement, RepeatedMeasurementGivesTheSameTablesAndSizeChangesThem) {
  ASSERT_TRUE(Measure({kDejaVuSans, 32, false, false}));
  FontTables first = tables;
  ASSERT_TRUE(Measure({kDejaVuSans, 32, false, false}));
  EXPECT_EQ(first.glyphMetrics, tables.glyphMetrics);
  ASSERT_TRUE(Measure({kDejaVuSans, 16, false, false}));
  EXPECT_LT(tables.glyphMetrics['W'].abcB, first.glyphMetrics['W'].abcB);
  ASSERT_TRUE(Measure({kDejaVuSans, 16, true, false}));
  EXPECT_GT(tables.glyphMetrics['W'].abcB + tables.glyphMetrics['W'].abcC,
            0u + first.glyphMetrics['W'].abcB / 2);  // a different face was opened
}

TEST_F(Measurement, SupportedButUnselectedEntriesAreFilledOnDemand) {
  ASSERT_TRUE(Measure({kDejaVuSans, 32, false, false}));
  measurer.EnsureMetrics(0x0416, tables);
  GlyphABC direct;
  FontFace* face = measurer.face();
  ASSERT_TRUE(face->measureGlyph(face->glyphIndex(0x0416), &direct));
  EXPECT_EQ(tables.glyphMetrics[0x0416], direct);
  EXPECT_GT(direct.abcB, 0u);
}

TEST(RecountSelection, DropsUnsupportedAndCountsTheRest) {
  FontTables tables;
  CharacterSelection sel{};
  sel[10] = 1;
  sel[11] = 5;  // any nonzero byte counts
  sel[12] = 1;
  tables.fontSupport[10] = 1;
  tables.fontSupport[11] = 1;
  RecountSelection(sel, tables);
  EXPECT_EQ(tables.selectedCount, 2u);
  EXPECT_EQ(sel[12], 0);
  EXPECT_EQ(sel[11], 5);
}

}  // namespace
}  // namespace glyphmill
