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
    bool ok = measurer.Measure(font, {}, kerning, selection, fontChanged, tables, &error);
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
  measurer.EnsureMetrics(0x4E00, tables);
  measurer.EnsureMetrics(0xE000, tables);
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

// Ink extents: the rows FreeType renders in the measuring mode, with the synthesised style.
void ExpectInkMatchesRendering(const FontRequest& font, const FontTables& tables, const CharacterSelection& sel) {
  std::string error;
  std::unique_ptr<FontFace> face = FontFace::Open(font, &error);
  ASSERT_TRUE(face) << error;
  int checked = 0;
  for (uint32_t u = 0; u < kCodeUnitCount; ++u) {
    if (!sel[u]) continue;
    GlyphImage glyph;
    ASSERT_TRUE(face->renderGlyph(static_cast<uint16_t>(u), 0, &glyph));
    const GlyphInk expected = glyph.rows > 0 && glyph.width > 0 ? GlyphInk{glyph.top, glyph.rows} : GlyphInk{};
    EXPECT_EQ(tables.glyphInk[u], expected) << "code unit " << u;
    ++checked;
  }
  EXPECT_GT(checked, 90);
}

TEST_F(Measurement, InkExtentsAreTheRowsFreeTypeRenders) {
  selection.fill(0);
  for (uint32_t u = 32; u <= 0x17F; ++u) selection[u] = 1;
  const FontRequest font{kDejaVuSans, 24, false, false};
  ASSERT_TRUE(Measure(font));
  ExpectInkMatchesRendering(font, tables, selection);
  // The space has no ink; "g" reaches below the baseline, "A" sits on it.
  EXPECT_EQ(tables.glyphInk[' '], GlyphInk{});
  EXPECT_LT(tables.glyphInk['g'].top - tables.glyphInk['g'].height, 0);
  EXPECT_EQ(tables.glyphInk['A'].top - tables.glyphInk['A'].height, 0);
  EXPECT_GT(tables.glyphInk[0xC4].top, tables.glyphInk['A'].top);  // the diaeresis above "A"
}

TEST_F(Measurement, InkExtentsFollowSynthesisedBoldAndItalic) {
  selection.fill(0);
  for (uint32_t u = 32; u <= 126; ++u) selection[u] = 1;
  // DejaVu Sans Light has no bold or oblique face of its own.
  const FontRequest plain{"DejaVu Sans Light", 40, false, false};
  const FontRequest styled{"DejaVu Sans Light", 40, true, true};
  ResolvedFont resolved;
  std::string error;
  ASSERT_TRUE(ResolveFont(styled, &resolved, &error)) << error;
  EXPECT_TRUE(resolved.synthesiseBold);
  EXPECT_TRUE(resolved.synthesiseItalic);
  ASSERT_TRUE(Measure(plain));
  const CodeUnitTable<GlyphInk> plainInk = tables.glyphInk;
  fontChanged = true;
  ASSERT_TRUE(Measure(styled));
  ExpectInkMatchesRendering(styled, tables, selection);
  int taller = 0;
  for (uint32_t u = 33; u <= 126; ++u) taller += tables.glyphInk[u].height > plainInk[u].height ? 1 : 0;
  EXPECT_GT(taller, 0);  // emboldening grows the outline up and down
}

TEST_F(Measurement, InkOfUnselectedCodeUnitsIsNotWritten) {
  selection.fill(0);
  selection['A'] = 1;
  tables.glyphInk['B'] = GlyphInk{-7, 7};
  ASSERT_TRUE(Measure({kDejaVuSans, 24, false, false}));
  EXPECT_EQ(tables.glyphInk['B'], (GlyphInk{-7, 7}));
  EXPECT_GT(tables.glyphInk['A'].height, 0);
}

}  // namespace
}  // namespace glyphmill

namespace glyphmill {
namespace {

// A large selection is measured on several threads, each with a face of its own; every entry must
// be what one face measures for that code unit's glyph.
TEST(ParallelMeasurement, EveryEntryIsWhatOneFaceMeasures) {
  CharacterSelection selection{};
  for (size_t u = 32; u < 0x2000; ++u) selection[u] = 1;
  FontMeasurer measurer;
  FontTables tables;
  bool fontChanged = true;
  std::string error;
  const FontRequest font{testing::kDejaVuSans, 17, true, false};
  ASSERT_TRUE(measurer.Measure(font, {}, 0, selection, fontChanged, tables, &error)) << error;
  ASSERT_GT(tables.selectedCount, 2048u);  // enough glyphs for more than one thread
  std::unique_ptr<FontFace> one = FontFace::Open(font, &error);
  ASSERT_NE(one, nullptr) << error;
  size_t compared = 0;
  for (size_t u = 0; u < kCodeUnitCount; ++u) {
    if (!selection[u]) continue;
    GlyphABC abc;
    GlyphInk ink;
    ASSERT_TRUE(one->measureGlyph(one->glyphIndex(static_cast<uint16_t>(u)), &abc, &ink));
    EXPECT_EQ(tables.glyphMetrics[u], abc) << u;
    EXPECT_EQ(tables.glyphInk[u], ink) << u;
    ++compared;
  }
  EXPECT_EQ(compared, tables.selectedCount);
}

}  // namespace
}  // namespace glyphmill
