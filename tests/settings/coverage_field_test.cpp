// CoverageDistanceField against FreeType's own field: for real glyphs of several fonts, sizes and
// spreads, the bytes FT_RENDER_MODE_SDF makes from the Smooth coverage and the bytes computed here
// from the same coverage are the same, every one of them.
#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>

#include <string>
#include <vector>

#include "font_test_util.h"
#include "settings/coverage_field.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H
#include FT_SYNTHESIS_H

namespace glyphmill {
namespace {

std::string FontPath(const char* family) {
  std::string path;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) path = reinterpret_cast<const char*>(file);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return path;
}

class CoverageField : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FT_Init_FreeType(&library_), 0);
    if (!ReproducesLibraryField(library_)) GTEST_SKIP() << "another FreeType release: its own field is used";
  }
  void TearDown() override {
    if (face_) FT_Done_Face(face_);
    if (library_) FT_Done_FreeType(library_);
  }

  void open(const char* family, int pixels) {
    if (face_) FT_Done_Face(face_);
    face_ = nullptr;
    const std::string path = FontPath(family);
    ASSERT_FALSE(path.empty()) << family;
    ASSERT_EQ(FT_New_Face(library_, path.c_str(), 0, &face_), 0) << path;
    ASSERT_EQ(FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixels)), 0);
  }

  // Glyph `index` through both fields; counts the glyphs with ink and the bytes that differ.
  void compare(FT_UInt index, int spread, bool embolden) {
    FT_UInt value = static_cast<FT_UInt>(spread);
    ASSERT_EQ(FT_Property_Set(library_, "bsdf", "spread", &value), 0);
    if (FT_Load_Glyph(face_, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL | FT_LOAD_NO_BITMAP)) return;
    FT_GlyphSlot slot = face_->glyph;
    if (embolden) FT_GlyphSlot_Embolden(slot);
    ASSERT_EQ(FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL), 0);
    const FT_Bitmap& cov = slot->bitmap;
    if (cov.width == 0 || cov.rows == 0) return;
    ASSERT_EQ(cov.pitch, static_cast<int>(cov.width));
    const int width = static_cast<int>(cov.width), rows = static_cast<int>(cov.rows);
    const std::vector<uint8_t> coverage(cov.buffer, cov.buffer + static_cast<std::size_t>(width) * rows);
    const std::vector<uint8_t> ours = CoverageDistanceField(coverage.data(), width, rows, spread);

    ASSERT_EQ(FT_Render_Glyph(slot, FT_RENDER_MODE_SDF), 0);
    const FT_Bitmap& field = slot->bitmap;
    ASSERT_EQ(static_cast<int>(field.width), width + 2 * spread);
    ASSERT_EQ(static_cast<int>(field.rows), rows + 2 * spread);
    ASSERT_EQ(ours.size(), static_cast<std::size_t>(field.width) * field.rows);
    ++inked_;
    int differing = 0;
    for (unsigned y = 0; y < field.rows; ++y)
      for (unsigned x = 0; x < field.width; ++x)
        if (ours[y * field.width + x] != field.buffer[static_cast<int>(y) * field.pitch + static_cast<int>(x)])
          ++differing;
    if (differing > 0) {
      ++wrongGlyphs_;
      ADD_FAILURE() << "glyph " << index << " spread " << spread << (embolden ? " bold" : "") << ": " << differing
                    << " of " << ours.size() << " bytes differ";
    }
  }

  // Every `step`-th glyph of the open face.
  void compareGlyphs(FT_UInt step, int spread, bool embolden = false) {
    for (FT_UInt index = 1; index < static_cast<FT_UInt>(face_->num_glyphs) && wrongGlyphs_ < 5; index += step)
      compare(index, spread, embolden);
  }

  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  int inked_ = 0;
  int wrongGlyphs_ = 0;
};

TEST_F(CoverageField, EqualsFreeTypesFieldForLatinGlyphsAtEverySpread) {
  struct Run {
    int pixels;
    int spread;
    FT_UInt step;
  };
  for (const Run& run :
       {Run{6, 2, 7}, Run{6, 32, 7}, Run{16, 2, 11}, Run{16, 4, 5}, Run{16, 8, 11}, Run{33, 4, 29}, Run{33, 32, 97}}) {
    open(testing::kDejaVuSans, run.pixels);
    compareGlyphs(run.step, run.spread);
  }
  open(testing::kLiberationSerif, 21);
  for (int spread : {3, 4}) compareGlyphs(5, spread);
  EXPECT_GT(inked_, 4000);
}

TEST_F(CoverageField, EqualsFreeTypesFieldForCjkAndSynthesisedBoldGlyphs) {
  open("Noto Sans CJK SC", 16);
  compareGlyphs(97, 4);
  open(testing::kRegularOnlyFamily, 24);
  compareGlyphs(211, 4, true);
  compareGlyphs(389, 6);
  EXPECT_GT(inked_, 800);
}

}  // namespace
}  // namespace glyphmill
