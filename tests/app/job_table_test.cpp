#include "app/job_table.h"

#include <gtest/gtest.h>

namespace glyphmill {
namespace {

GenerationSettings Plain() {
  GenerationSettings s = FirstStartSettings();
  s.styleFlags = 0;
  return s;
}

TEST(JobTableCell, DefaultSettingsExample) {
  PlacedCharacter pc = BuildPlacedCharacter(Plain(), 'A', GlyphABC{1, 10, 2}, 37);
  EXPECT_EQ(pc.cellWidth, 14u);
  EXPECT_EQ(pc.cellHeight, 39u);
  EXPECT_EQ(pc.drawOffsetX, 0);
  EXPECT_EQ(pc.drawOffsetY, 1);
  EXPECT_EQ(pc.advanceBefore, 1);
  EXPECT_EQ(pc.advanceAfter, 12);
  EXPECT_EQ(pc.codeUnit, 'A');
  EXPECT_EQ(pc.cellX, 0);
  EXPECT_EQ(pc.cellY, 0);
}

TEST(JobTableCell, OutlineShadowAndBoldExample) {
  GenerationSettings s = Plain();
  s.styleFlags = kStyleBold | kStyleOutline | kStyleDropShadow;
  s.outlineWidth = 3;
  s.shadowSmoothing = 5;
  s.shadowOffset = 1;
  EXPECT_EQ(OutlineMargin(s), 7);
  EXPECT_EQ(ShadowLead(s), 1);
  EXPECT_EQ(ShadowExtent(s), 6);
  PlacedCharacter pc = BuildPlacedCharacter(s, 'x', GlyphABC{-2, 10, -1}, 20);
  EXPECT_EQ(pc.cellWidth, 34u);
  EXPECT_EQ(pc.cellHeight, 42u);
  EXPECT_EQ(pc.drawOffsetX, 11);
  EXPECT_EQ(pc.drawOffsetY, 9);
}

TEST(JobTableCell, ShadowLeadNeverNegativeAndEffectsOffGiveNoMargins) {
  GenerationSettings s = Plain();
  s.styleFlags = kStyleDropShadow;
  s.shadowSmoothing = 1;
  s.shadowOffset = 2;
  EXPECT_EQ(ShadowLead(s), 0);
  EXPECT_EQ(ShadowExtent(s), 3);
  s.styleFlags = 0;
  s.outlineWidth = 20;
  EXPECT_EQ(ShadowLead(s), 0);
  EXPECT_EQ(ShadowExtent(s), 0);
  EXPECT_EQ(OutlineMargin(s), 1);
}

TEST(JobTableCell, KerningIsSplitAndRoundedHalvesToEven) {
  GenerationSettings s = Plain();
  s.kerning = 1;
  EXPECT_EQ(BuildPlacedCharacter(s, 'a', GlyphABC{0, 8, 1}, 10).advanceBefore, 0);  // Round(0.5)
  EXPECT_EQ(BuildPlacedCharacter(s, 'a', GlyphABC{1, 8, 1}, 10).advanceBefore, 2);  // Round(1.5)
  EXPECT_EQ(BuildPlacedCharacter(s, 'a', GlyphABC{1, 8, 1}, 10).advanceAfter, 10);  // Round(9.5)
  s.kerning = 3;
  EXPECT_EQ(BuildPlacedCharacter(s, 'a', GlyphABC{1, 8, 1}, 10).advanceAfter, 10);  // Round(10.5)
  s.kerning = -3;
  EXPECT_EQ(BuildPlacedCharacter(s, 'a', GlyphABC{-1, 8, 0}, 10).advanceBefore, -2);  // Round(-2.5)
}

TEST(JobTableCell, SpacingSettingsWidenTheCell) {
  GenerationSettings s = Plain();
  s.leading = 2;
  s.trailing = 3;
  s.verticalPad = 4;
  s.generalPadding = 5;
  PlacedCharacter pc = BuildPlacedCharacter(s, 'a', GlyphABC{1, 10, 2}, 37);
  EXPECT_EQ(pc.cellWidth, 14u + 2 + 3 + 10);
  EXPECT_EQ(pc.cellHeight, 39u + 8 + 10);
  EXPECT_EQ(pc.drawOffsetX, 0 + 2 + 5);
  EXPECT_EQ(pc.drawOffsetY, 1 + 4 + 5);
}

TEST(JobTable, OneRecordPerSelectedCodeUnitAscendingWithTallestCell) {
  CharacterSelection sel{};
  sel[70] = sel[65] = sel[1000] = 1;
  std::vector<GlyphABC> abc(kCodeUnitCount, GlyphABC{0, 5, 0});
  std::vector<int32_t> heights(kCodeUnitCount, 10);
  heights[1000] = 30;
  JobTable t = BuildJobTable(Plain(), sel, abc, heights, 3);
  ASSERT_EQ(t.chars.size(), 3u);
  EXPECT_EQ(t.chars[0].codeUnit, 65);
  EXPECT_EQ(t.chars[1].codeUnit, 70);
  EXPECT_EQ(t.chars[2].codeUnit, 1000);
  EXPECT_EQ(t.tallestCell, 32u);
  EXPECT_EQ(t.abc.size(), 3u);
}

TEST(JobTable, NeverFillsMoreRecordsThanAllocated) {
  CharacterSelection sel{};
  for (int u = 100; u < 200; ++u) sel[u] = 1;
  std::vector<GlyphABC> abc(kCodeUnitCount, GlyphABC{0, 5, 0});
  std::vector<int32_t> heights(kCodeUnitCount, 10);
  JobTable t = BuildJobTable(Plain(), sel, abc, heights, 40);
  ASSERT_EQ(t.chars.size(), 40u);
  EXPECT_EQ(t.chars.back().codeUnit, 139);
}

}  // namespace
}  // namespace glyphmill

namespace glyphmill {
namespace {

TEST(JobTableDistanceField, MarginIsTheSpreadOnlyInTheDistanceFieldMode) {
  GenerationSettings s = Plain();
  GenerationExtras extras;
  extras.sdfSpread = 12;
  EXPECT_EQ(DistanceFieldMargin(s, extras), 0);
  s.antialiasMode = kAntialiasDistanceField;
  EXPECT_EQ(DistanceFieldMargin(s, extras), 12);
  extras.sdfSpread = 200;  // a spread beyond the offered range is held to it
  EXPECT_EQ(DistanceFieldMargin(s, extras), kMaxSdfSpread);
}

TEST(JobTableDistanceField, EffectsThatAreNotBakedWidenNothing) {
  GenerationSettings s = Plain();
  s.styleFlags = kStyleOutline | kStyleDropShadow;
  s.outlineWidth = 3;
  s.shadowSmoothing = 5;
  s.shadowOffset = 1;
  s.antialiasMode = kAntialiasDistanceField;
  EXPECT_EQ(OutlineMargin(s), 1);
  EXPECT_EQ(ShadowLead(s), 0);
  EXPECT_EQ(ShadowExtent(s), 0);
}

TEST(JobTableDistanceField, CellsGrowByTheSpreadOnEverySide) {
  GenerationSettings smooth = Plain();
  GenerationSettings field = smooth;
  field.antialiasMode = kAntialiasDistanceField;
  GenerationExtras extras;
  extras.sdfSpread = 5;
  CharacterSelection selection{};
  selection['A'] = selection['g'] = 1;
  std::vector<GlyphABC> metrics(kCodeUnitCount, GlyphABC{1, 10, 2});
  std::vector<int32_t> heights(kCodeUnitCount, 37);
  const JobTable a = BuildJobTable(smooth, selection, metrics, heights, 2, extras);
  const JobTable b = BuildJobTable(field, selection, metrics, heights, 2, extras);
  ASSERT_EQ(a.chars.size(), 2u);
  ASSERT_EQ(b.chars.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(b.chars[i].cellWidth, a.chars[i].cellWidth + 10);
    EXPECT_EQ(b.chars[i].cellHeight, a.chars[i].cellHeight + 10);
    EXPECT_EQ(b.chars[i].drawOffsetX, a.chars[i].drawOffsetX + 5);
    EXPECT_EQ(b.chars[i].drawOffsetY, a.chars[i].drawOffsetY + 5);
    // The pen does not move: advances stay those of the Smooth font.
    EXPECT_EQ(b.chars[i].advanceBefore, a.chars[i].advanceBefore);
    EXPECT_EQ(b.chars[i].advanceAfter, a.chars[i].advanceAfter);
  }
  EXPECT_EQ(b.tallestCell, a.tallestCell + 10);
}

}  // namespace
}  // namespace glyphmill
