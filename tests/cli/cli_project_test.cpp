// A project taken by glyphmill-cli, run in this process: the same rules as the window's load
// (app/loaded_project.h), then the command line's own choices over them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "cli/exit_status.h"
#include "project/project_file.h"

namespace glyphmill::cli {
namespace {

namespace fs = std::filesystem;

class CliProject : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "glyphmill-cli-project-XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data());
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string file(const std::string& name) const { return dir_ + "/" + name; }

  // A project of DejaVu Sans at 10 points with the capitals, the given texture size and extras.
  std::string WriteProject(const std::string& name, uint16_t width, uint16_t height,
                           ProjectExtensions extensions = {}) {
    GenerationSettings s = FirstStartSettings();
    s.setFontName("DejaVu Sans");
    s.fontSize = 10;
    s.textureWidth = width;
    s.textureHeight = height;
    CharacterSelection selection{};
    for (uint16_t c = 'A'; c <= 'Z'; ++c) selection[c] = 1;
    const std::vector<uint8_t> bytes = ProjectToBytes(s, selection, {}, extensions);
    const std::string path = file(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
  }

  // Runs the arguments with the shipped exporters; the messages land in `err_`.
  int Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--plugins", GLYPHMILL_PLUGIN_DIR, "-q"});
    const CliParse parse = ParseCliOptions(args);
    EXPECT_EQ(parse.kind, CliParse::Kind::Run) << parse.text;
    err_.str({});
    std::ostringstream out;
    Console console(err_, parse.options.quiet, false);
    return RunCli(parse.options, out, console);
  }

  std::string dir_;
  std::ostringstream err_;
};

TEST_F(CliProject, ASizeNoTextureCanHaveIsRefusedWithTheSizeItHolds) {
  const std::string project = WriteProject("huge.gmp", 20000, 256);
  EXPECT_EQ(Run({project, "-e", "BMFont Text", "-o", file("h")}), kExitProjectRefused);
  EXPECT_NE(err_.str().find("(it holds 20000x256)"), std::string::npos) << err_.str();
  EXPECT_FALSE(fs::exists(file("h.fnt")));
}

TEST_F(CliProject, AFittedTextureReplacesASizeNoTextureCanHave) {
  // Asked for on the command line.
  const std::string project = WriteProject("huge.gmp", 20000, 256);
  EXPECT_EQ(Run({project, "--texture", "auto", "-e", "BMFont Text", "-o", file("a")}), kExitSuccess) << err_.str();
  EXPECT_TRUE(fs::exists(file("a.fnt")));
  // Or stored in the project.
  ProjectExtensions fitted;
  fitted.extras.fitTexture = true;
  const std::string stored = WriteProject("fitted.gmp", 0, 0, fitted);
  EXPECT_EQ(Run({stored, "-e", "BMFont Text", "-o", file("b")}), kExitSuccess) << err_.str();
  std::ifstream fnt(file("b.fnt"));
  std::stringstream text;
  text << fnt.rdbuf();
  // The capitals at 10 points fit the smallest power-of-two sizes, far below the stored nonsense.
  EXPECT_NE(text.str().find("scaleW="), std::string::npos) << text.str();
  EXPECT_EQ(text.str().find("scaleW=0 "), std::string::npos) << text.str();
}

TEST_F(CliProject, ASavedProjectHoldsTheLimitedValuesAndAUsableSize) {
  const std::string project = WriteProject("huge.gmp", 20000, 256);
  EXPECT_EQ(Run({project, "--texture", "auto", "--save-project", file("tame"), "-e", "BMFont Text", "-o", file("t")}),
            kExitSuccess)
      << err_.str();
  std::ifstream in(file("tame.gmp"), std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto backRead = ParseProjectBytes(bytes.data(), bytes.size(), {});
  ASSERT_TRUE(backRead.has_value()) << backRead.error().text;
  const ProjectData& back = *backRead;
  // The refused size never reaches the record: the size kept is one a texture can have.
  EXPECT_GE(back.settings.textureWidth, 1);
  EXPECT_LE(back.settings.textureWidth, 16384);
}

}  // namespace
}  // namespace glyphmill::cli
