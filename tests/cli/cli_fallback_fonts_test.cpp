// glyphmill-cli with fallback fonts: characters the font lacks are exported from the fallback, the
// font's own characters exactly as without it, kerning never mixes the fonts; a missing fallback is
// named on standard error, skipped, and kept in the saved project.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "child_process.h"
#include "scratch_folder.h"

namespace glyphmill {
namespace {

namespace fs = std::filesystem;
using Result = testing::ProcessResult;
using testing::ReadAll;

class CliFallbackFonts : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"--plugins", GLYPHMILL_PLUGIN_DIR, "--font",    "DejaVu Sans", "--size",
                                    "14",        "--texture",          "1024x1024", "-q"};
    all.insert(all.end(), args.begin(), args.end());
    return testing::RunProgram(GLYPHMILL_CLI_PATH, all, dir_);
  }

  // The "char id=N ..." lines of a BMFont text descriptor by id, and its kerning pairs.
  struct Descriptor {
    std::map<int, std::string> chars;
    std::vector<std::pair<int, int>> kernings;
  };
  static Descriptor Read(const std::string& path) {
    Descriptor d;
    std::istringstream in(ReadAll(path));
    for (std::string line; std::getline(in, line);) {
      int a = 0, b = 0;
      if (std::sscanf(line.c_str(), "char id=%d", &a) == 1) d.chars[a] = line.substr(line.find(' ', 8));
      if (std::sscanf(line.c_str(), "kerning first=%d second=%d", &a, &b) == 2) d.kernings.emplace_back(a, b);
    }
    return d;
  }

  testing::ScratchFolder scratch_{"clifallback"};
  std::string dir_ = scratch_.path().string();
};

TEST_F(CliFallbackFonts, TheFallbackDrawsWhatTheFontLacksAndNothingElseChanges) {
  const Result with = Run({"--chars", "32-126,0x4E00-0x4EFF", "--fallback-family", "Noto Sans CJK SC", "-e",
                           "BMFont Text", "-o", dir_ + "/with/f.fnt"});
  ASSERT_EQ(with.status, 0) << with.err;
  const Result without = Run({"--chars", "32-126", "-e", "BMFont Text", "-o", dir_ + "/without/f.fnt"});
  ASSERT_EQ(without.status, 0) << without.err;
  const Descriptor a = Read(dir_ + "/with/f.fnt");
  const Descriptor b = Read(dir_ + "/without/f.fnt");
  int cjk = 0;
  for (int u = 0x4E00; u <= 0x4EFF; ++u) cjk += a.chars.count(u) ? 1 : 0;
  EXPECT_EQ(cjk, 0x100) << "every CJK character is placed";
  // The Latin characters keep their offsets and advances (their cells move, as packing must).
  for (int u = 33; u <= 126; ++u) {
    ASSERT_TRUE(a.chars.count(u) && b.chars.count(u)) << u;
    auto tail = [](const std::string& line) { return line.substr(line.find("xoffset")); };
    EXPECT_EQ(tail(a.chars.at(u)), tail(b.chars.at(u))) << u;
  }
  for (auto [first, second] : a.kernings)
    EXPECT_EQ(first >= 0x4E00, second >= 0x4E00) << first << " " << second << ": a pair of two fonts";
}

TEST_F(CliFallbackFonts, AMissingFallbackIsNamedSkippedAndKeptInTheProject) {
  const std::string gone = dir_ + "/fonts/moved.ttf";
  const Result r = Run({"--chars", "65-90", "--fallback-font", gone, "--fallback-family", "Droid Sans Fallback",
                        "--save-project", dir_ + "/p.gmp", "-e", "BMFont Text", "-o", dir_ + "/out/f.fnt"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("The fallback font file \"" + gone + "\" is missing; it is skipped."), std::string::npos)
      << r.err;
  EXPECT_TRUE(fs::exists(dir_ + "/out/f.fnt"));
  // The saved project still names both, in order; loading it generates with the one that is there.
  const std::string bytes = ReadAll(dir_ + "/p.gmp");
  const std::size_t file = bytes.find("fonts/moved.ttf");
  const std::size_t family = bytes.find("Droid Sans Fallback");
  ASSERT_NE(file, std::string::npos);
  ASSERT_NE(family, std::string::npos);
  EXPECT_LT(file, family);
  const Result again = testing::RunProgram(GLYPHMILL_CLI_PATH,
                                           {dir_ + "/p.gmp", "--plugins", GLYPHMILL_PLUGIN_DIR, "--chars", "0x4E2D",
                                            "-e", "BMFont Text", "-o", dir_ + "/again/f.fnt", "-q"},
                                           dir_);
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.err.find("moved.ttf\" is missing"), std::string::npos) << again.err;
  EXPECT_EQ(Read(dir_ + "/again/f.fnt").chars.count(0x4E2D), 1u) << "drawn from the family that is installed";
}

}  // namespace
}  // namespace glyphmill
