// glyphmill-cli with --font-file: a font no system has installed, drawn exactly as the installed
// original; only the file's families known; unreadable files and wrong faces refused; projects
// that remember the file, and a project whose font file is missing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "child_process.h"
#include "renamed_font.h"
#include "scratch_folder.h"

namespace glyphmill {
namespace {

namespace fs = std::filesystem;
using testing::kRenamedFamily;

using Result = testing::ProcessResult;
using testing::ReadAll;

class CliFontFile : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ + "/game/fonts");
    font_ = dir_ + "/game/fonts/renamed.ttf";
    ASSERT_TRUE(testing::WriteRenamedFont(testing::kDejaVuSansFile, font_, kRenamedFamily));
  }

  Result Run(const std::vector<std::string>& args) {
    return testing::RunProgram(GLYPHMILL_CLI_PATH, With({"--plugins", GLYPHMILL_PLUGIN_DIR}, args), dir_);
  }

  static std::vector<std::string> Job(const std::string& out) {
    return {"--size",  "14", "--no-bold",   "--chars", "32-126", "--texture",
            "256x256", "-e", "BMFont Text", "-o",      out,      "-q"};
  }
  static std::vector<std::string> With(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  }

  testing::ScratchFolder scratch_{"clifont"};
  std::string dir_ = scratch_.path().string(), font_;
};

TEST_F(CliFontFile, OnlyTheFileIsKnownWithoutTheSystemsFonts) {
  const Result r = Run({"--font-file", font_, "--list-fonts"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Default\n" + std::string(kRenamedFamily) + "\n");
  const Result installed = Run({"--list-fonts"});
  EXPECT_EQ(installed.out.find(kRenamedFamily), std::string::npos) << "the test font is installed nowhere";
  EXPECT_NE(installed.out.find("DejaVu Sans\n"), std::string::npos);
}

TEST_F(CliFontFile, TheFilesGlyphsAreThoseOfTheInstalledOriginal) {
  const Result fromFile = Run(With({"--font-file", font_}, Job(dir_ + "/file/f.fnt")));
  ASSERT_EQ(fromFile.status, 0) << fromFile.err;
  const Result installed = Run(With({"--font", "DejaVu Sans"}, Job(dir_ + "/installed/f.fnt")));
  ASSERT_EQ(installed.status, 0) << installed.err;
  const std::string a = ReadAll(dir_ + "/file/f_0.png"), b = ReadAll(dir_ + "/installed/f_0.png");
  ASSERT_GT(a.size(), 100u);
  EXPECT_TRUE(a == b) << "the two pages differ";
  EXPECT_NE(ReadAll(dir_ + "/file/f.fnt").find("face=\"" + std::string(kRenamedFamily) + "\""), std::string::npos);
}

TEST_F(CliFontFile, UnreadableFilesAndMissingFacesOrFamiliesAreRefused) {
  std::ofstream(dir_ + "/fake.ttf") << "plain text";
  Result r = Run(With({"--font-file", dir_ + "/fake.ttf"}, Job(dir_ + "/x.fnt")));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("\"" + dir_ + "/fake.ttf\""), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("FT_Err_Unknown_File_Format"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir_ + "/x.fnt"));

  r = Run(With({"--font-file", font_, "--face-index", "1"}, Job(dir_ + "/x.fnt")));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("has no face 1"), std::string::npos) << r.err;

  r = Run(With({"--font-file", font_, "--font", "DejaVu Sans"}, Job(dir_ + "/x.fnt")));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("holds no family named \"DejaVu Sans\""), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir_ + "/x.fnt"));

  r = Run({"--face-index", "0", "--list-fonts"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("--face-index needs --font-file"), std::string::npos) << r.err;
}

TEST_F(CliFontFile, FaceIndexAndFontPickAFamilyOfACollection) {
  const std::string ttc = dir_ + "/pair.ttc";
  ASSERT_TRUE(testing::WriteRenamedCollection(testing::kDejaVuSansFile, {"Glyphmill Zero", "Glyphmill One"}, ttc));
  Result r = Run(With({"--font-file", ttc, "--face-index", "1"}, Job(dir_ + "/one.fnt")));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(ReadAll(dir_ + "/one.fnt").find("face=\"Glyphmill One\""), std::string::npos);
  r = Run(With({"--font-file", ttc, "--font", "Glyphmill Zero"}, Job(dir_ + "/zero.fnt")));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(ReadAll(dir_ + "/zero.fnt").find("face=\"Glyphmill Zero\""), std::string::npos);
}

TEST_F(CliFontFile, AProjectRemembersItsFontFileAndMovesWithIt) {
  Result r = Run(With({"--font-file", font_, "--save-project", dir_ + "/game/ui.gmp"}, Job(dir_ + "/a/f.fnt")));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string project = ReadAll(dir_ + "/game/ui.gmp");
  EXPECT_NE(project.find("GMX1"), std::string::npos);
  EXPECT_NE(project.find("fonts/renamed.ttf"), std::string::npos);
  EXPECT_EQ(project.find(dir_), std::string::npos) << "stored relative to the project's folder";

  fs::rename(dir_ + "/game", dir_ + "/moved");
  r = Run(With({dir_ + "/moved/ui.gmp"}, Job(dir_ + "/b/f.fnt")));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(ReadAll(dir_ + "/b/f_0.png") == ReadAll(dir_ + "/a/f_0.png")) << "the moved project draws the same";
  EXPECT_NE(ReadAll(dir_ + "/b/f.fnt").find(kRenamedFamily), std::string::npos);

  // Without its font: a notice naming the file; the stored name stays (and a substitute draws).
  fs::remove(dir_ + "/moved/fonts/renamed.ttf");
  r = Run(With({dir_ + "/moved/ui.gmp", "--save-project", dir_ + "/moved/again.gmp"}, Job(dir_ + "/c/f.fnt")));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("\"" + dir_ + "/moved/fonts/renamed.ttf\" is missing"), std::string::npos) << r.err;
  EXPECT_NE(ReadAll(dir_ + "/c/f.fnt").find(kRenamedFamily), std::string::npos);
  EXPECT_NE(ReadAll(dir_ + "/moved/again.gmp").find("fonts/renamed.ttf"), std::string::npos)
      << "saving again keeps the missing font's reference";
}

}  // namespace
}  // namespace glyphmill
