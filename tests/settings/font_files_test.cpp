// Font files as application fonts: reading a file's faces, clear errors for files FreeType cannot
// read, the families joining the catalogue marked as coming from a file, and glyphs drawn exactly
// as the installed original draws them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include "font_test_util.h"
#include "renamed_font.h"
#include "scratch_folder.h"
#include "settings/font_catalogue.h"
#include "settings/font_face.h"
#include "settings/font_file_set.h"
#include "woff_font.h"

namespace glyphmill {
namespace {

namespace fs = std::filesystem;
using testing::kDejaVuSansFile;
using testing::kRenamedFamily;

// One renamed font for the whole suite: fontconfig keeps every application font of the process,
// and a family is matched to the file that was added first.
class FontFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scratch_ = std::make_unique<testing::ScratchFolder>("fontfile");
    dir_ = scratch_->path().string();
    renamed_ = dir_ + "/renamed.ttf";
    testing::WriteRenamedFont(kDejaVuSansFile, renamed_, kRenamedFamily);
  }
  static void TearDownTestSuite() { scratch_.reset(); }
  void SetUp() override { ASSERT_TRUE(fs::exists(renamed_)); }

  static inline std::unique_ptr<testing::ScratchFolder> scratch_;
  static inline std::string dir_, renamed_;
};

const FontCatalogueEntry* Find(const FontCatalogue& catalogue, const std::string& name) {
  for (const FontCatalogueEntry& e : catalogue.entries)
    if (e.name == name) return &e;
  return nullptr;
}

TEST_F(FontFiles, ReadingAFileNamesItsFamilyWithoutAddingIt) {
  FontFile file;
  std::string error;
  ASSERT_TRUE(ReadFontFile(renamed_, &file, &error)) << error;
  EXPECT_EQ(file.path, renamed_);
  ASSERT_EQ(file.faces.size(), 1u);
  EXPECT_EQ(file.faces[0], (FontFileFace{0, kRenamedFamily}));
  EXPECT_EQ(file.families(), std::vector<std::string>{kRenamedFamily});
  EXPECT_EQ(file.faceOfFamily(kRenamedFamily), 0);
  EXPECT_EQ(file.faceOfFamily(testing::kDejaVuSans), -1);
  EXPECT_EQ(file.familyOfFace(1), nullptr);
}

TEST_F(FontFiles, ARelativePathIsReadAsAnAbsoluteOne) {
  const fs::path before = fs::current_path();
  fs::current_path(dir_);
  FontFile file;
  std::string error;
  const bool ok = ReadFontFile("./sub/../renamed.ttf", &file, &error);
  fs::current_path(before);
  ASSERT_TRUE(ok) << error;
  EXPECT_EQ(file.path, renamed_);
}

TEST_F(FontFiles, CollectionsListEveryFaceByIndex) {
  const std::string ttc = dir_ + "/pair.ttc";
  ASSERT_TRUE(testing::WriteRenamedCollection(kDejaVuSansFile, {"Glyphmill Face Zero", "Glyphmill Face One"}, ttc));
  FontFile file;
  std::string error;
  ASSERT_TRUE(ReadFontFile(ttc, &file, &error)) << error;
  ASSERT_EQ(file.faces.size(), 2u);
  EXPECT_EQ(*file.familyOfFace(0), "Glyphmill Face Zero");
  EXPECT_EQ(*file.familyOfFace(1), "Glyphmill Face One");
  EXPECT_EQ(file.faceOfFamily("Glyphmill Face One"), 1);
}

TEST_F(FontFiles, AFileFreeTypeCannotReadIsRefusedNamingTheFileAndTheError) {
  const std::string text = dir_ + "/notes.ttf";
  std::ofstream(text) << "not a font at all";
  FontFileSet set;
  std::string error;
  EXPECT_EQ(set.add(text, &error), nullptr);
  EXPECT_NE(error.find("\"" + text + "\""), std::string::npos) << error;
  EXPECT_NE(error.find("FT_Err_Unknown_File_Format"), std::string::npos) << error;
  EXPECT_TRUE(set.files().empty());

  error.clear();
  EXPECT_EQ(set.add(dir_ + "/absent.ttf", &error), nullptr);
  EXPECT_NE(error.find("absent.ttf"), std::string::npos) << error;
  EXPECT_NE(error.find("FT_Err_Cannot_Open_Resource"), std::string::npos) << error;
  EXPECT_TRUE(set.families().empty());
}

TEST(FreeTypeErrorNames, NameKnownCodesAndNumberUnknownOnes) {
  EXPECT_EQ(FreeTypeErrorText(FT_Err_Unknown_File_Format), "unknown file format (FT_Err_Unknown_File_Format)");
  EXPECT_EQ(FreeTypeErrorText(0x7777), "FreeType error 30583");
}

TEST_F(FontFiles, AAddedFamiliesJoinTheCatalogueMarkedAsFromAFile) {
  // Not installed anywhere: the catalogue does not know the family before the file is added.
  ASSERT_EQ(Find(BuildFontCatalogue(), kRenamedFamily), nullptr);
  FontFileSet set;
  std::string error;
  const FontFile* file = set.add(renamed_, &error);
  ASSERT_NE(file, nullptr) << error;
  EXPECT_EQ(set.add(renamed_, &error), file) << "a file already added is not added again";
  EXPECT_EQ(set.files().size(), 1u);

  const FontCatalogue catalogue = BuildFontCatalogue(set.families());
  const FontCatalogueEntry* entry = Find(catalogue, kRenamedFamily);
  ASSERT_NE(entry, nullptr);
  EXPECT_TRUE(entry->fromFile);
  EXPECT_EQ(entry->kindIcon, 0);  // TrueType
  const FontCatalogueEntry* installed = Find(catalogue, testing::kDejaVuSans);
  ASSERT_NE(installed, nullptr);
  EXPECT_FALSE(installed->fromFile);
  EXPECT_TRUE(std::is_sorted(catalogue.entries.begin(), catalogue.entries.end(), [](const auto& a, const auto& b) {
    std::string x = a.name, y = b.name;
    for (char& c : x) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : y) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return x < y;
  }));
  EXPECT_EQ(set.referenceFor(kRenamedFamily), (FontFileReference{renamed_, 0}));
  EXPECT_FALSE(set.referenceFor(testing::kDejaVuSans).has_value());
}

TEST_F(FontFiles, GlyphsOfTheFileAreThoseOfTheInstalledOriginal) {
  FontFileSet set;
  std::string error;
  ASSERT_NE(set.add(renamed_, &error), nullptr) << error;
  for (uint16_t mode : {0, 1, 2}) {
    auto fromFile = FontFace::Open(FontRequest{kRenamedFamily, 24, false, false}, &error);
    auto installed = FontFace::Open(FontRequest{testing::kDejaVuSans, 24, false, false}, &error);
    ASSERT_TRUE(fromFile && installed) << error;
    EXPECT_EQ(fromFile->resolved().path, renamed_);
    EXPECT_NE(installed->resolved().path, renamed_);
    EXPECT_EQ(fromFile->lineHeight(), installed->lineHeight());
    for (uint16_t c : {u'A', u'g', u'@', u'\u00e9', u'\u0416'}) {
      GlyphImage a, b;
      ASSERT_TRUE(fromFile->renderGlyph(c, mode, &a));
      ASSERT_TRUE(installed->renderGlyph(c, mode, &b));
      EXPECT_EQ(a.pixels, b.pixels) << "code unit " << c << " mode " << mode;
      EXPECT_EQ(std::tie(a.left, a.top, a.width, a.rows), std::tie(b.left, b.top, b.width, b.rows));
      GlyphABC x, y;
      ASSERT_TRUE(fromFile->measureGlyph(fromFile->glyphIndex(c), &x));
      ASSERT_TRUE(installed->measureGlyph(installed->glyphIndex(c), &y));
      EXPECT_EQ(x, y);
    }
  }
}

// Debian's FreeType reads WOFF (it is built with zlib): a WOFF file joins as any font file and
// draws every glyph exactly as the installed TrueType original.
TEST_F(FontFiles, AWoffFileDrawsAsTheTrueTypeOriginal) {
  const std::string woff = dir_ + "/web.woff";
  const std::string family = "Glyphmill Test Woff";
  ASSERT_TRUE(testing::WriteRenamedWoff(kDejaVuSansFile, woff, family));
  ASSERT_GT(fs::file_size(woff), 4u);
  ASSERT_LT(fs::file_size(woff), fs::file_size(kDejaVuSansFile)) << "the tables are compressed";
  FontFileSet set;
  std::string error;
  const FontFile* file = set.add(woff, &error);
  ASSERT_NE(file, nullptr) << error;
  EXPECT_EQ(file->faces, (std::vector<FontFileFace>{{0, family}}));
  const FontCatalogue catalogue = BuildFontCatalogue(set.families());
  const FontCatalogueEntry* entry = Find(catalogue, family);
  ASSERT_NE(entry, nullptr);
  EXPECT_TRUE(entry->fromFile);

  for (uint16_t mode : {0, 1, 2}) {
    auto fromWoff = FontFace::Open(FontRequest{family, 32, false, false}, &error);
    auto installed = FontFace::Open(FontRequest{testing::kDejaVuSans, 32, false, false}, &error);
    ASSERT_TRUE(fromWoff && installed) << error;
    EXPECT_EQ(fromWoff->resolved().path, woff);
    EXPECT_EQ(fromWoff->lineHeight(), installed->lineHeight());
    for (uint16_t c : {u'A', u'g', u'&', u'\u00e9', u'\u0416', u'\u20ac'}) {
      GlyphImage a, b;
      ASSERT_TRUE(fromWoff->renderGlyph(c, mode, &a));
      ASSERT_TRUE(installed->renderGlyph(c, mode, &b));
      EXPECT_FALSE(a.pixels.empty());
      EXPECT_EQ(a.pixels, b.pixels) << "code unit " << c << " mode " << mode;
      EXPECT_EQ(std::tie(a.left, a.top, a.width, a.rows), std::tie(b.left, b.top, b.width, b.rows));
    }
  }
}

TEST_F(FontFiles, ADamagedWoffFileIsRefusedNamingTheFile) {
  const std::string woff = dir_ + "/damaged.woff";
  ASSERT_TRUE(testing::WriteRenamedWoff(kDejaVuSansFile, woff, "Glyphmill Damaged Woff"));
  fs::resize_file(woff, fs::file_size(woff) / 2);  // the header's length no longer matches the file
  FontFileSet set;
  std::string error;
  EXPECT_EQ(set.add(woff, &error), nullptr);
  EXPECT_NE(error.find("\"" + woff + "\""), std::string::npos) << error;
  EXPECT_NE(error.find("FT_Err_"), std::string::npos) << error;
  EXPECT_TRUE(set.files().empty());
}

TEST_F(FontFiles, StyledRequestsOfAFileFamilyResolveToTheFile) {
  FontFileSet set;
  std::string error;
  ASSERT_NE(set.add(renamed_, &error), nullptr) << error;
  ResolvedFont resolved;
  ASSERT_TRUE(ResolveFont(FontRequest{kRenamedFamily, 24, true, true}, &resolved, &error));
  EXPECT_EQ(resolved.path, renamed_);
  EXPECT_EQ(resolved.faceIndex, 0);
}

TEST_F(FontFiles, AFileFamilyNamedLikeAnInstalledOneResolvesToTheFile) {
  // "URW Gothic" is installed; a file of that name must win over it once added, for every style,
  // while other installed families still resolve to their own files.
  ResolvedFont before;
  std::string error;
  ASSERT_TRUE(ResolveFont(FontRequest{"URW Gothic", 24, false, false}, &before, &error)) << error;
  const std::string file = dir_ + "/urw_gothic_named.ttf";
  ASSERT_NE(before.path, file);
  ASSERT_TRUE(testing::WriteRenamedFont(kDejaVuSansFile, file, "URW Gothic"));
  FontFileSet set;
  ASSERT_NE(set.add(file, &error), nullptr) << error;
  for (const bool bold : {false, true}) {
    ResolvedFont resolved;
    ASSERT_TRUE(ResolveFont(FontRequest{"urw gothic", 24, bold, !bold}, &resolved, &error)) << error;
    EXPECT_EQ(resolved.path, file) << "bold " << bold;
  }
  ResolvedFont other;
  ASSERT_TRUE(ResolveFont(FontRequest{"Liberation Serif", 24, false, false}, &other, &error)) << error;
  EXPECT_NE(other.path, file);
  EXPECT_NE(other.path.find("LiberationSerif"), std::string::npos) << other.path;
}

TEST_F(FontFiles, AMissingFileRememberedForAFamilyIsItsReferenceUntilTheFileIsAdded) {
  FontFileSet set;
  set.rememberMissing("Gone Sans", FontFileReference{"/nowhere/gone.ttf", 2});
  EXPECT_EQ(set.referenceFor("Gone Sans"), (FontFileReference{"/nowhere/gone.ttf", 2}));
  EXPECT_FALSE(set.fromFile("Gone Sans"));
  set.rememberMissing(kRenamedFamily, FontFileReference{"/nowhere/renamed.ttf", 0});
  std::string error;
  ASSERT_NE(set.add(renamed_, &error), nullptr) << error;
  EXPECT_EQ(set.referenceFor(kRenamedFamily), (FontFileReference{renamed_, 0}));
}

}  // namespace
}  // namespace glyphmill
