// Fallback fonts: how each kind is found or skipped, and a measurement that takes every character
// from the first font that has it while the line stays the chosen font's.
#include "settings/fallback_fonts.h"

#include <gtest/gtest.h>

#include <fstream>

#include "scratch_folder.h"
#include "settings/font_metrics.h"
#include "tests/settings/font_test_util.h"

namespace glyphmill {
namespace {

using testing::kDejaVuSans;
using testing::kRegularOnlyFamily;

constexpr const char* kDroidFile = "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf";
constexpr const char* kDejaVuBoldFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr uint16_t kCjk = 0x4E2D;  // in Droid Sans Fallback, not in DejaVu Sans

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ResolveFallback, AnInstalledFamilyIsMatchedAndOneNothingCarriesIsSkippedByName) {
  const FontRequest chosen{kDejaVuSans, 24, false, false};
  const Result<ResolvedFont> found = ResolveFallback({kFallbackFamily, 0, kRegularOnlyFamily}, chosen);
  ASSERT_TRUE(found) << found.error();
  EXPECT_TRUE(Contains(found->path, "DroidSansFallback")) << found->path;

  // fontconfig would substitute some font for any name: a fallback must be the font asked for.
  const Result<ResolvedFont> missing = ResolveFallback({kFallbackFamily, 0, "No Such Family 7"}, chosen);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error(), "!The fallback font \"No Such Family 7\" is not installed; it is skipped.");
}

TEST(ResolveFallback, AFileIsOpenedByItselfAndAMissingOrDamagedOneIsNamed) {
  testing::ScratchFolder scratch;
  const FontRequest bold{kDejaVuSans, 24, true, false};
  // A regular face asked for bold is emboldened; a bold face is not emboldened again.
  const Result<ResolvedFont> regular = ResolveFallback({kFallbackFile, 0, kDroidFile}, bold);
  ASSERT_TRUE(regular) << regular.error();
  EXPECT_EQ(regular->path, kDroidFile);
  EXPECT_TRUE(regular->synthesiseBold);
  EXPECT_TRUE(regular->trueType);
  const Result<ResolvedFont> boldFace = ResolveFallback({kFallbackFile, 0, kDejaVuBoldFile}, bold);
  ASSERT_TRUE(boldFace) << boldFace.error();
  EXPECT_FALSE(boldFace->synthesiseBold);

  const std::string gone = scratch.file("moved.ttf");
  const Result<ResolvedFont> missing = ResolveFallback({kFallbackFile, 0, gone}, bold);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error(), "!The fallback font file \"" + gone + "\" is missing; it is skipped.");

  const std::string damaged = scratch.file("damaged.ttf");
  std::ofstream(damaged) << "not a font at all";
  const Result<ResolvedFont> unreadable = ResolveFallback({kFallbackFile, 0, damaged}, bold);
  ASSERT_FALSE(unreadable);
  EXPECT_TRUE(Contains(unreadable.error(), "\"" + damaged + "\" cannot be read (")) << unreadable.error();
  // A face the file does not hold is refused the same way.
  EXPECT_FALSE(ResolveFallback({kFallbackFile, 5, kDroidFile}, bold));
}

TEST(ResolveFallback, AListKeepsItsOrderAndSkipsWhatCannotBeOpened) {
  const FontRequest chosen{kDejaVuSans, 24, false, false};
  const ResolvedFallbacks r = ResolveFallbacks({{kFallbackFamily, 0, "No Such Family 7"},
                                                {kFallbackFile, 0, kDejaVuBoldFile},
                                                {kFallbackFamily, 0, kRegularOnlyFamily}},
                                               chosen);
  ASSERT_EQ(r.fonts.size(), 2u);
  EXPECT_EQ(r.fonts[0].path, kDejaVuBoldFile);
  EXPECT_TRUE(Contains(r.fonts[1].path, "DroidSansFallback"));
  ASSERT_EQ(r.notices.size(), 1u);
  EXPECT_TRUE(Contains(r.notices[0], "No Such Family 7"));
}

class FallbackMeasurement : public ::testing::Test {
 protected:
  void SetUp() override {
    selection['A'] = 1;
    selection['g'] = 1;
    selection[kCjk] = 1;
  }
  bool Measure(const std::vector<FallbackFont>& fallbacks) {
    std::string error;
    const bool ok = measurer.Measure(chosen, fallbacks, 0, selection, fontChanged, tables, &error);
    EXPECT_TRUE(ok) << error;
    return ok;
  }
  const FontRequest chosen{kDejaVuSans, 24, false, false};
  FontMeasurer measurer;
  FontTables tables;
  CharacterSelection selection{};
  bool fontChanged = true;
};

TEST_F(FallbackMeasurement, ACharacterTheFontLacksIsMeasuredFromTheFallbackOnTheChosenLine) {
  const std::vector<FallbackFont> fallbacks = {{kFallbackFile, 0, kDroidFile}};
  ASSERT_TRUE(Measure(fallbacks));
  EXPECT_EQ(selection[kCjk], 1) << "supported through the fallback, so not pruned";
  EXPECT_EQ(tables.fontSupport[kCjk], 1);
  EXPECT_EQ(tables.glyphFont[kCjk], 1);
  EXPECT_EQ(tables.glyphFont['A'], 0) << "the chosen font has it, so it is the chosen font's";
  EXPECT_EQ(tables.selectedCount, 3u);
  ASSERT_EQ(tables.fallbacks.fonts.size(), 1u);
  EXPECT_TRUE(tables.fallbacks.notices.empty());

  // The fallback's glyph has the fallback face's own metrics at the chosen pixel size.
  std::string error;
  std::unique_ptr<FontFace> droid = FontFace::OpenResolved(chosen, tables.fallbacks.fonts[0], &error);
  ASSERT_TRUE(droid) << error;
  GlyphABC own;
  GlyphInk ownInk;
  ASSERT_TRUE(droid->measureGlyph(droid->glyphIndex(kCjk), &own, &ownInk));
  EXPECT_EQ(tables.glyphMetrics[kCjk], own);
  EXPECT_EQ(tables.glyphInk[kCjk], ownInk);
  EXPECT_GT(own.abcB, 0u);

  // The characters of the chosen font and the line are exactly those of a measurement without
  // fallbacks.
  FontMeasurer alone;
  FontTables plain;
  CharacterSelection only{};
  only['A'] = only['g'] = 1;
  bool changed = true;
  ASSERT_TRUE(alone.Measure(chosen, {}, 0, only, changed, plain, &error)) << error;
  EXPECT_EQ(tables.glyphMetrics['A'], plain.glyphMetrics['A']);
  EXPECT_EQ(tables.glyphInk['g'], plain.glyphInk['g']);
  EXPECT_EQ(tables.ascent, plain.ascent);
  EXPECT_EQ(tables.descent, plain.descent);
  EXPECT_EQ(tables.glyphHeights[kCjk], plain.ascent + plain.descent);
  EXPECT_EQ(tables.spaceAdvance, plain.spaceAdvance);
}

TEST_F(FallbackMeasurement, DroppingTheFallbackPrunesWhatOnlyItHadAndAMissingOneIsNamed) {
  ASSERT_TRUE(Measure({{kFallbackFamily, 0, kRegularOnlyFamily}}));
  EXPECT_EQ(selection[kCjk], 1);
  // The font did not change, but its fallbacks did: the support is worked out again.
  ASSERT_TRUE(Measure({{kFallbackFile, 0, "/nowhere/cjk.ttf"}}));
  EXPECT_EQ(selection[kCjk], 0);
  EXPECT_EQ(tables.fontSupport[kCjk], 0);
  EXPECT_EQ(tables.selectedCount, 2u);
  ASSERT_EQ(tables.fallbacks.notices.size(), 1u);
  EXPECT_TRUE(Contains(tables.fallbacks.notices[0], "/nowhere/cjk.ttf"));
  EXPECT_TRUE(tables.fallbacks.fonts.empty());
}

TEST_F(FallbackMeasurement, TheFirstFallbackThatHasACharacterWins) {
  // DejaVu Sans Bold has no CJK, Droid has: the CJK glyph is the second fallback's, font 2.
  ASSERT_TRUE(Measure({{kFallbackFile, 0, kDejaVuBoldFile}, {kFallbackFile, 0, kDroidFile}}));
  EXPECT_EQ(tables.glyphFont[kCjk], 2);
  // A Latin letter stays the chosen font's although both fallbacks have it.
  EXPECT_EQ(tables.glyphFont['A'], 0);
  // U+0100 is in DejaVu Sans itself, so it never comes from a fallback either.
  EXPECT_EQ(tables.glyphFont[0x0100], 0);
}

}  // namespace
}  // namespace glyphmill
