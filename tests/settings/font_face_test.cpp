#include "settings/font_face.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/settings/font_test_util.h"

#include FT_ADVANCES_H

namespace glyphmill {
namespace {

using testing::kDejaVuSans;
using testing::kLiberationSerif;

TEST(EmPixels, NinetySixDotsPerInchAndDefaultSize) {
  EXPECT_EQ(EmPixels(32), 43);  // 42.67
  EXPECT_EQ(EmPixels(24), 32);
  EXPECT_EQ(EmPixels(9), 12);
  EXPECT_EQ(EmPixels(1), 1);  // 1.33
  EXPECT_EQ(EmPixels(2), 3);  // 2.67
  EXPECT_EQ(EmPixels(120), 160);
  EXPECT_EQ(EmPixels(0), 16);
}

TEST(ResolveFont, FindsInstalledFamiliesAndTheirStyles) {
  ResolvedFont regular, bold, italic;
  std::string error;
  ASSERT_TRUE(ResolveFont({kLiberationSerif, 12, false, false}, &regular, &error)) << error;
  ASSERT_TRUE(ResolveFont({kLiberationSerif, 12, true, false}, &bold, &error)) << error;
  ASSERT_TRUE(ResolveFont({kLiberationSerif, 12, false, true}, &italic, &error)) << error;
  EXPECT_NE(regular.path, bold.path);
  EXPECT_NE(regular.path, italic.path);
  // Liberation ships real bold and italic faces: nothing is synthesised.
  EXPECT_FALSE(bold.synthesiseBold);
  EXPECT_FALSE(italic.synthesiseItalic);
  EXPECT_TRUE(regular.trueType);
}

TEST(ResolveFont, SynthesisesItalicOnlyWhenTheFamilyHasNoSlantedFace) {
  ResolvedFont italic;
  std::string error;
  ASSERT_TRUE(ResolveFont({kDejaVuSans, 12, false, true}, &italic, &error)) << error;
  // DejaVu's oblique face is optional (fonts-dejavu-extra); without it the regular face is sheared.
  bool hasObliqueFile = italic.path.find("Oblique") != std::string::npos;
  EXPECT_EQ(italic.synthesiseItalic, !hasObliqueFile);
}

TEST(ResolveFont, ARegularOnlyFamilyIsEmboldenedAndSlantedWhenAskedFor) {
  // Fontconfig's synthesis rules rewrite the match's weight and slant to the asked ones; the
  // single regular file must still be emboldened and sheared.
  ResolvedFont regular, bold, italic, both;
  std::string error;
  ASSERT_TRUE(ResolveFont({testing::kRegularOnlyFamily, 12, false, false}, &regular, &error)) << error;
  ASSERT_TRUE(ResolveFont({testing::kRegularOnlyFamily, 12, true, false}, &bold, &error)) << error;
  ASSERT_TRUE(ResolveFont({testing::kRegularOnlyFamily, 12, false, true}, &italic, &error)) << error;
  ASSERT_TRUE(ResolveFont({testing::kRegularOnlyFamily, 12, true, true}, &both, &error)) << error;
  ASSERT_NE(regular.path.find("DroidSansFallback"), std::string::npos) << regular.path;
  EXPECT_EQ(bold.path, regular.path);
  EXPECT_EQ(italic.path, regular.path);
  EXPECT_FALSE(regular.synthesiseBold || regular.synthesiseItalic);
  EXPECT_TRUE(bold.synthesiseBold);
  EXPECT_FALSE(bold.synthesiseItalic);
  EXPECT_TRUE(italic.synthesiseItalic);
  EXPECT_FALSE(italic.synthesiseBold);
  EXPECT_TRUE(both.synthesiseBold && both.synthesiseItalic);
}

TEST(FontFaceSynthesis, ARegularOnlyFamilyRendersEmboldenedAndSlantedGlyphs) {
  std::string error;
  auto plain = FontFace::Open({testing::kRegularOnlyFamily, 32, false, false}, &error);
  auto bold = FontFace::Open({testing::kRegularOnlyFamily, 32, true, false}, &error);
  auto italic = FontFace::Open({testing::kRegularOnlyFamily, 32, false, true}, &error);
  ASSERT_TRUE(plain && bold && italic) << error;
  GlyphImage p, b, i;
  ASSERT_TRUE(plain->renderGlyph('l', 0, &p));
  ASSERT_TRUE(bold->renderGlyph('l', 0, &b));
  ASSERT_TRUE(italic->renderGlyph('l', 0, &i));
  EXPECT_GT(b.width, p.width);
  const auto ink = [](const GlyphImage& g) {
    long sum = 0;
    for (uint8_t v : g.pixels) sum += v;
    return sum;
  };
  EXPECT_GT(ink(b), ink(p) * 5 / 4);
  // The upright stem of "l" leans right: its box widens and its top row's ink lies right of its
  // bottom row's.
  EXPECT_GT(i.width, p.width);
  const auto firstInk = [](const GlyphImage& g, int row) {
    for (int x = 0; x < g.width; ++x)
      if (g.pixels[static_cast<std::size_t>(row * g.width + x)] > 128) return x;
    return -1;
  };
  EXPECT_GT(firstInk(i, 0), firstInk(i, i.rows - 1));
  EXPECT_EQ(firstInk(p, 0), firstInk(p, p.rows - 1));
}

TEST(FreeTypeErrors, NamedByTheirDescriptionAndConstant) {
  EXPECT_EQ(FreeTypeErrorText(FT_Err_Unknown_File_Format), "unknown file format (FT_Err_Unknown_File_Format)");
  EXPECT_EQ(FreeTypeErrorText(FT_Err_Out_Of_Memory), "out of memory (FT_Err_Out_Of_Memory)");
  EXPECT_EQ(FreeTypeErrorText(0xFE), "FreeType error 254");
}

TEST(ResolveFont, UnknownNameFallsBackToASubstituteSilently) {
  ResolvedFont r;
  std::string error;
  ASSERT_TRUE(ResolveFont({"No Such Family Glyphmill", 12, false, false}, &r, &error));
  EXPECT_TRUE(error.empty());
  EXPECT_TRUE(std::filesystem::exists(r.path));
  ResolvedFont def;
  ASSERT_TRUE(ResolveFont({kDefaultFontName, 12, false, false}, &def, &error));
  EXPECT_TRUE(std::filesystem::exists(def.path));
}

TEST(FontFace, CorruptFontFileGivesAnErrorNotACrash) {
  auto path = std::filesystem::temp_directory_path() / "glyphmill_corrupt_font.ttf";
  {
    std::ofstream out(path, std::ios::binary);
    out << "this is not a font file at all";
  }
  ResolvedFont bogus;
  bogus.path = path.string();
  std::string error;
  auto face = FontFace::OpenResolved({"Bogus", 12, false, false}, bogus, &error);
  EXPECT_EQ(face, nullptr);
  EXPECT_NE(error.find("Cannot read the font file"), std::string::npos) << error;
  // FreeType's error is named, not numbered.
  EXPECT_NE(error.find(": unknown file format (FT_Err_Unknown_File_Format)"), std::string::npos) << error;
  bogus.path = "/nonexistent/glyphmill/font.ttf";
  error.clear();
  EXPECT_EQ(FontFace::OpenResolved({"Bogus", 12, false, false}, bogus, &error), nullptr);
  EXPECT_NE(error.find("cannot open resource (FT_Err_Cannot_Open_Resource)"), std::string::npos) << error;
  std::filesystem::remove(path);
}

class DejaVuFace : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    face = FontFace::Open({kDejaVuSans, 32, false, false}, &error);
    ASSERT_NE(face, nullptr) << error;
  }
  std::unique_ptr<FontFace> face;
};

TEST_F(DejaVuFace, AbcWidthsAgreeWithFreeTypeAdvancesAndRenderedBitmaps) {
  EXPECT_EQ(face->emPixels(), 43);
  for (uint16_t u = 32; u < 383; ++u) {
    uint32_t g = face->glyphIndex(u);
    if (!g) continue;
    GlyphABC abc;
    ASSERT_TRUE(face->measureGlyph(g, &abc));
    FT_Fixed advance = 0;
    ASSERT_EQ(FT_Get_Advance(face->face(), g, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL, &advance), 0);
    int rounded = static_cast<int>((advance + 0x8000) >> 16);
    EXPECT_EQ(abc.abcA + static_cast<int32_t>(abc.abcB) + abc.abcC, rounded) << "code unit " << u;
    GlyphImage img;
    ASSERT_TRUE(face->renderGlyph(u, 0, &img));
    if (img.width > 0) {
      EXPECT_EQ(abc.abcA, img.left) << "code unit " << u;
      EXPECT_EQ(static_cast<int>(abc.abcB), img.width) << "code unit " << u;
    }
  }
}

TEST_F(DejaVuFace, LineHeightIsAscentPlusDescentAndCoversTheGlyphs) {
  EXPECT_GT(face->ascent(), 0);
  EXPECT_GT(face->descent(), 0);
  EXPECT_EQ(face->lineHeight(), face->ascent() + face->descent());
  GlyphImage img;
  ASSERT_TRUE(face->renderGlyph('g', 0, &img));
  EXPECT_LE(img.top, face->ascent());
  EXPECT_LE(img.rows - img.top, face->descent());
}

TEST_F(DejaVuFace, RenderModesGiveTheirCoverageKinds) {
  GlyphImage smooth, lcd, mono;
  ASSERT_TRUE(face->renderGlyph('O', 0, &smooth));
  ASSERT_TRUE(face->renderGlyph('O', 1, &lcd));
  ASSERT_TRUE(face->renderGlyph('O', 2, &mono));
  EXPECT_EQ(smooth.kind, GlyphImage::Kind::Gray);
  EXPECT_EQ(lcd.kind, GlyphImage::Kind::Lcd);
  EXPECT_EQ(lcd.pixels.size(), static_cast<size_t>(lcd.width) * lcd.rows * 3);
  bool smoothHasGrey = false;
  for (uint8_t v : smooth.pixels) smoothHasGrey |= (v != 0 && v != 255);
  EXPECT_TRUE(smoothHasGrey);
  for (uint8_t v : mono.pixels) ASSERT_TRUE(v == 0 || v == 255);
  GlyphImage space;
  ASSERT_TRUE(face->renderGlyph(' ', 0, &space));
  EXPECT_EQ(space.width, 0);
}

TEST(FontFaceSynthesis, SyntheticBoldWidensGlyphsAndSyntheticItalicLeansThem) {
  // Force synthesis on a face that also has real styles, to compare with the plain face.
  ResolvedFont plain;
  std::string error;
  ASSERT_TRUE(ResolveFont({kDejaVuSans, 32, false, false}, &plain, &error));
  ResolvedFont emboldened = plain;
  emboldened.synthesiseBold = true;
  ResolvedFont sheared = plain;
  sheared.synthesiseItalic = true;
  auto a = FontFace::OpenResolved({kDejaVuSans, 32, false, false}, plain, &error);
  auto b = FontFace::OpenResolved({kDejaVuSans, 32, true, false}, emboldened, &error);
  auto i = FontFace::OpenResolved({kDejaVuSans, 32, false, true}, sheared, &error);
  ASSERT_TRUE(a && b && i);
  GlyphABC pa, pb, pi;
  ASSERT_TRUE(a->measureGlyph(a->glyphIndex('l'), &pa));
  ASSERT_TRUE(b->measureGlyph(b->glyphIndex('l'), &pb));
  ASSERT_TRUE(i->measureGlyph(i->glyphIndex('l'), &pi));
  EXPECT_GT(pb.abcB, pa.abcB);
  EXPECT_GT(pi.abcB, pa.abcB);  // the tall stem leans right, so its box widens
}

TEST_F(DejaVuFace, SupportedCodeUnitsAscendWithinTheBasicPlane) {
  bool hasCharmap = false;
  std::vector<uint32_t> units = face->supportedCodeUnits(&hasCharmap);
  ASSERT_TRUE(hasCharmap);
  ASSERT_GT(units.size(), 1000u);
  EXPECT_TRUE(std::is_sorted(units.begin(), units.end()));
  EXPECT_LT(units.back(), 65536u);
  EXPECT_NE(std::find(units.begin(), units.end(), 'A'), units.end());
  EXPECT_EQ(std::find(units.begin(), units.end(), 0x4E00u), units.end());  // no CJK in DejaVu Sans
}

}  // namespace
}  // namespace glyphmill
