// glyphmill-cli run as a separate process: exit statuses, files written, messages printed.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "project/job_plugin_names.h"
#include "project/project_file.h"
#include "scratch_folder.h"

namespace glyphmill {
namespace {

namespace fs = std::filesystem;

using Result = testing::ProcessResult;
using testing::ReadAll;

class CliProcess : public ::testing::Test {
 protected:
  std::string file(const std::string& name) const { return scratch_.file(name); }

  // Runs the program with the shipped exporters; the font options keep every run small and quick.
  Result Run(const std::vector<std::string>& args, bool withPlugins = true) {
    std::vector<std::string> all;
    if (withPlugins) all = {"--plugins", GLYPHMILL_PLUGIN_DIR};
    all.insert(all.end(), args.begin(), args.end());
    return testing::RunProgram(GLYPHMILL_CLI_PATH, all, dir_);
  }

  static std::vector<std::string> SmallFont() {
    return {"--font", "DejaVu Sans", "--size", "10", "--chars", "65-90", "--texture", "128x128"};
  }
  static std::vector<std::string> With(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  }

  void WriteProject(const std::string& path, const ExportJobQueue& jobs) {
    GenerationSettings s = FirstStartSettings();
    s.setFontName("DejaVu Sans");
    s.fontSize = 10;
    s.textureWidth = s.textureHeight = 256;  // room for the default characters
    CharacterSelection sel{};
    SetDefaultSelection(sel);
    const std::vector<uint8_t> bytes = ProjectToBytes(s, sel, jobs);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }

  testing::ScratchFolder scratch_{"cli"};
  std::string dir_ = scratch_.path().string();
};

TEST_F(CliProcess, AnExportWritesItsFilesAndSucceeds) {
  const Result r = Run(With(SmallFont(), {"-e", "BMFont Text", "-o", file("font.txt")}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(file("font.fnt")));
  EXPECT_FALSE(fs::exists(file("font.txt")));
  EXPECT_NE(ReadAll(file("font.fnt")).find("face=\"DejaVu Sans\""), std::string::npos);
  EXPECT_NE(r.err.find("Export Complete!"), std::string::npos) << r.err;
}

TEST_F(CliProcess, AnOutputPathInANewFolderCreatesTheFolder) {
  const Result r = Run(With(SmallFont(), {"-e", "BMFont Text", "-o", file("new/deeper/font")}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(file("new/deeper/font.fnt")));
  EXPECT_TRUE(fs::exists(file("new/deeper/font_0.png")));
}

TEST_F(CliProcess, RepeatedExportsToOnePathAreNumberedInOrder) {
  const Result r =
      Run(With(SmallFont(), {"-e", "BMFont Text", "-e", "PNG Image", "-e", "BMFont Text", "-o", file("f"), "--quiet"}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(file("f.fnt")));
  EXPECT_TRUE(fs::exists(file("f.png")));
  EXPECT_TRUE(fs::exists(file("f-2.fnt")));
  EXPECT_EQ(r.err, "");  // quiet and nothing failed
}

TEST_F(CliProcess, BadUsageExitsWithOneAndAShortUsage) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--no-such-option"},
                                               {"--chars", "9-1"},
                                               {"--texture", "0x0"},
                                               With(SmallFont(), {"-e", "No Such Exporter"})}) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 1) << args[0];
    EXPECT_NE(r.err.find("Usage: glyphmill-cli"), std::string::npos) << r.err;
  }
  const Result missing = Run(With(SmallFont(), {"--chars-from", file("absent.txt")}));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("absent.txt"), std::string::npos) << missing.err;
}

TEST_F(CliProcess, RefusedOrUnreadableProjectsExitWithTwo) {
  std::ofstream(file("empty.gmp")).close();
  const Result empty = Run({file("empty.gmp")});
  EXPECT_EQ(empty.status, 2);
  EXPECT_NE(empty.err.find("File Error: This file does not contain any Glyphmill data."), std::string::npos)
      << empty.err;

  std::vector<uint8_t> bytes(65672, 0);
  bytes[0] = 0xF0;
  bytes[4] = 100;
  std::ofstream(file("old.gmp"), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const Result old = Run({file("old.gmp"), "-q"});
  EXPECT_EQ(old.status, 2);
  EXPECT_NE(old.err.find("different version of Glyphmill. It cannot be loaded into the Glyphmill.\n"
                         "Record size mismatch: 100 should be 124"),
            std::string::npos)
      << old.err;  // the carriage return is shown as a line break

  const Result missing = Run({file("missing.gmp")});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("Error while loading project! "), std::string::npos) << missing.err;
}

TEST_F(CliProcess, CharactersThatDoNotFitExitWithThreeUnlessForced) {
  const std::vector<std::string> crowded = {"--font",  "DejaVu Sans", "--size",    "40",
                                            "--chars", "65-90",       "--texture", "64x64",
                                            "-e",      "BMFont Text", "-o",        file("crowded")};
  const Result refused = Run(crowded);
  EXPECT_EQ(refused.status, 3);
  EXPECT_NE(refused.err.find("Cant fit in the last "), std::string::npos) << refused.err;
  EXPECT_FALSE(fs::exists(file("crowded.fnt")));

  const Result forced = Run(With(crowded, {"--force"}));
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_TRUE(fs::exists(file("crowded.fnt")));
}

TEST_F(CliProcess, AFailedExportExitsWithFourAfterTheRestRan) {
  // The first job names a plug-in this run does not have; the second finds its plug-in by name
  // although the index it was saved with is outside the list.
  ExportJobQueue jobs(2);
  jobs[0].PluginIndex = 7;
  SetShortString(jobs[0].PluginName, "Exporter Of Another Install");
  jobs[1].PluginIndex = 40;
  SetShortString(jobs[1].PluginName, "BMFont Text");
  WriteProject(file("batch.gmp"), jobs);
  // Only the BMFont Text exporter is installed, at index 0.
  fs::create_directory(file("plugins"));
  fs::copy_file(std::string(GLYPHMILL_PLUGIN_DIR) + "/bmfont_text.so", file("plugins/bmfont_text.so"));
  const Result r = Run({file("batch.gmp"), "--plugins", file("plugins"), "-o", file("batch")}, false);
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_NE(r.err.find("Exporter Of Another Install"), std::string::npos) << r.err;
  EXPECT_TRUE(fs::exists(file("batch.fnt")));
}

TEST_F(CliProcess, TheBatchQueueRunsWithoutExport) {
  ExportJobQueue jobs(1);
  jobs[0].PluginIndex = 0;
  SetShortString(jobs[0].PluginName, "BMFont Text");
  WriteProject(file("one.gmp"), jobs);
  const Result r = Run({file("one.gmp"), "-o", file("queued")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(file("queued.fnt")));
}

TEST_F(CliProcess, SaveProjectWritesTheProjectAfterTheOverrides) {
  ExportJobQueue jobs(2);
  for (TExportJob& j : jobs) SetShortString(j.PluginName, "BMFont Text");
  WriteProject(file("two.gmp"), jobs);
  const Result r = Run({file("two.gmp"), "--size", "11", "--texture", "512x128", "--save-project", file("saved.txt"),
                        "-e", "BMFont Text", "-o", file("x")});
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(fs::exists(file("saved.gmp")));
  EXPECT_EQ(fs::file_size(file("saved.gmp")), 66198u);  // the project's two jobs, not the -e one
  const std::string bytes = ReadAll(file("saved.gmp"));
  const auto backRead = ParseProjectBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), {});
  ASSERT_TRUE(backRead.has_value()) << backRead.error().text;
  const ProjectData& back = *backRead;
  EXPECT_EQ(back.settings.fontSize, 11);
  EXPECT_EQ(back.settings.textureWidth, 512);
  EXPECT_EQ(back.settings.textureHeight, 128);
  EXPECT_NE(r.err.find("Project saved to " + file("saved.gmp") + " succesfully."), std::string::npos) << r.err;

  const Result fresh = Run(With(SmallFont(), {"--save-project", file("fresh"), "-e", "BMFont Text", "-o", file("y")}));
  EXPECT_EQ(fresh.status, 0) << fresh.err;
  EXPECT_EQ(fs::file_size(file("fresh.gmp")), 65672u);
}

TEST_F(CliProcess, ListingsGoToStandardOutput) {
  const Result plugins = Run({"--list-plugins"});
  EXPECT_EQ(plugins.status, 0);
  EXPECT_NE(plugins.out.find(std::string("\tBMFont Text\t1\tfnt\t") + GLYPHMILL_PLUGIN_DIR + "\n"), std::string::npos)
      << plugins.out;
  EXPECT_NE(plugins.out.find("\tPNG Image\t"), std::string::npos) << plugins.out;

  const Result fonts = Run({"--list-fonts"});
  EXPECT_EQ(fonts.status, 0);
  EXPECT_NE(fonts.out.find("DejaVu Sans\n"), std::string::npos);
  EXPECT_NE(fonts.out.find("Default\n"), std::string::npos);
}

TEST_F(CliProcess, CharactersFromAFile) {
  std::ofstream(file("chars.txt"), std::ios::binary) << "AB\xD0\x96";
  const Result r = Run({"--font", "DejaVu Sans", "--size", "10", "--chars-from", file("chars.txt"), "-e", "BMFont Text",
                        "-o", file("f")});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string fnt = ReadAll(file("f.fnt"));
  for (const char* id : {"char id=65 ", "char id=66 ", "char id=1046 "})
    EXPECT_NE(fnt.find(id), std::string::npos) << fnt;
  EXPECT_EQ(fnt.find("char id=67 "), std::string::npos) << fnt;  // the file's characters replace the default set
}

// "scaleW=W scaleH=H" of a BMFont text descriptor, as "WxH".
std::string PageSize(const std::string& fnt) {
  const std::size_t w = fnt.find("scaleW="), h = fnt.find("scaleH=");
  if (w == std::string::npos || h == std::string::npos) return "";
  return std::to_string(std::stoi(fnt.substr(w + 7))) + "x" + std::to_string(std::stoi(fnt.substr(h + 7)));
}

TEST_F(CliProcess, WithoutAProjectOrASizeTheTextureIsFitted) {
  // 32-point bold default characters: far more than the first-start 128 x 128 holds.
  const Result r = Run({"--font", "DejaVu Sans", "-e", "BMFont Text", "-o", file("fitted")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.find("Cant fit"), std::string::npos) << r.err;
  const std::string size = PageSize(ReadAll(file("fitted.fnt")));
  EXPECT_EQ(size, "512x512");
  EXPECT_NE(r.err.find("Texture Size: " + size), std::string::npos) << r.err;
  // The size before it, set by hand, does not hold them.
  const Result smaller =
      Run({"--font", "DejaVu Sans", "--texture", "512x256", "-e", "BMFont Text", "-o", file("smaller")});
  EXPECT_EQ(smaller.status, 3) << smaller.err;
}

TEST_F(CliProcess, CompactCellsAndAutoTextureMeetTheSmallSizes) {
  const std::vector<std::string> base = {"--font",  "DejaVu Sans", "--size", "24", "--no-bold",  "--cells",
                                         "compact", "--texture",   "auto",   "-e", "BMFont Text"};
  const Result ascii = Run(With(base, {"--chars", "32-126", "-o", file("ascii")}));
  EXPECT_EQ(ascii.status, 0) << ascii.err;
  EXPECT_EQ(PageSize(ReadAll(file("ascii.fnt"))), "256x256");
  const Result latin = Run(With(base, {"--chars", "32-383", "-o", file("latin")}));
  EXPECT_EQ(latin.status, 0) << latin.err;
  EXPECT_EQ(PageSize(ReadAll(file("latin.fnt"))), "512x512");
  // Line cells need more.
  const Result lines = Run({"--font", "DejaVu Sans", "--size", "24", "--no-bold", "--cells", "line", "--chars",
                            "32-126", "-e", "BMFont Text", "-o", file("lines")});
  EXPECT_EQ(lines.status, 0) << lines.err;
  EXPECT_EQ(PageSize(ReadAll(file("lines.fnt"))), "512x256");
}

TEST_F(CliProcess, AFittedTextureBeyondItsMaximumIsRefusedLikeAnyOverflow) {
  const Result r = Run(
      {"--font", "DejaVu Sans", "--size", "24", "--texture-max", "64x64", "-e", "BMFont Text", "-o", file("capped")});
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_NE(r.err.find("Cant fit in the last "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Texture Size: 64x64"), std::string::npos) << r.err;
}

TEST_F(CliProcess, AProjectKeepsItsStoredSizeUnlessAskedToFit) {
  ExportJobQueue jobs(1);
  SetShortString(jobs[0].PluginName, "BMFont Text");
  WriteProject(file("stored.gmp"), jobs);  // 256 x 256
  const Result stored = Run({file("stored.gmp"), "-o", file("stored")});
  EXPECT_EQ(stored.status, 0) << stored.err;
  EXPECT_EQ(PageSize(ReadAll(file("stored.fnt"))), "256x256");
  EXPECT_EQ(stored.err.find("Texture Size:"), std::string::npos) << stored.err;

  const Result fitted = Run({file("stored.gmp"), "--texture", "auto", "-o", file("refit")});
  EXPECT_EQ(fitted.status, 0) << fitted.err;
  EXPECT_EQ(PageSize(ReadAll(file("refit.fnt"))), "256x128");  // 10-point characters 33..132
  const Result smaller = Run({file("stored.gmp"), "--texture", "128x128", "-o", file("smaller")});
  EXPECT_EQ(smaller.status, 3) << smaller.err;
}

TEST_F(CliProcess, AnOutputNamingAFolderGetsTheDefaultNameInside) {
  fs::create_directory(file("existing"));
  const Result r = Run(With(SmallFont(), {"-e", "BMFont Text", "-e", "BMFont Text", "-o", file("out") + "/"}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(file("out/font.fnt")));
  EXPECT_TRUE(fs::exists(file("out/font_0.png")));
  EXPECT_TRUE(fs::exists(file("out/font-2.fnt")));
  EXPECT_TRUE(fs::exists(file("out/font-2_0.png")));
  EXPECT_FALSE(fs::exists(file("out/.fnt")));
  const Result existing = Run(With(SmallFont(), {"-e", "PNG Image", "-o", file("existing")}));
  EXPECT_EQ(existing.status, 0) << existing.err;
  EXPECT_TRUE(fs::exists(file("existing/font.png")));
}

TEST_F(CliProcess, AFolderThatCannotBeCreatedSaysWhy) {
  std::ofstream(file("plain")) << "a file where a folder is wanted";
  const Result r = Run(With(SmallFont(), {"-e", "BMFont Text", "-o", file("plain/sub/font")}));
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_NE(r.err.find("cannot create the folder \"" + file("plain/sub") + "\": "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Not a directory"), std::string::npos) << r.err;

  const Result project =
      Run(With(SmallFont(), {"--save-project", file("plain/p.gmp"), "-e", "BMFont Text", "-o", file("x")}));
  EXPECT_EQ(project.status, 4) << project.err;
  EXPECT_NE(project.err.find("cannot create the folder \"" + file("plain") + "\""), std::string::npos) << project.err;
}

TEST_F(CliProcess, SaveProjectCreatesItsFolderAsOutputDoes) {
  const Result r =
      Run(With(SmallFont(), {"--save-project", file("projects/new/p"), "-e", "BMFont Text", "-o", file("x")}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(fs::file_size(file("projects/new/p.gmp")), 65672u);
}

TEST_F(CliProcess, ProjectValuesOutOfRangeAreLimitedAndSaidSo) {
  GenerationSettings s = FirstStartSettings();
  s.setFontName("DejaVu Sans");
  s.fontSize = 10;
  s.textureWidth = s.textureHeight = 256;
  s.setFlag(kStyleOutline, true);
  s.outlineWidth = 65535;
  s.leading = INT32_MIN;
  CharacterSelection sel{};
  SetDefaultSelection(sel);
  const std::vector<uint8_t> bytes = ProjectToBytes(s, sel, {});
  std::ofstream(file("wild.gmp"), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const Result r = Run({file("wild.gmp"), "-e", "BMFont Text", "-o", file("w"), "--save-project", file("tame")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Project values out of range were limited: leading -2147483648 -> -100, outlineWidth "
                       "65535 -> 20"),
            std::string::npos)
      << r.err;
  const std::string saved = ReadAll(file("tame.gmp"));
  const auto backRead = ParseProjectBytes(reinterpret_cast<const uint8_t*>(saved.data()), saved.size(), {});
  ASSERT_TRUE(backRead.has_value()) << backRead.error().text;
  const ProjectData& back = *backRead;
  EXPECT_EQ(back.settings.outlineWidth, 20);
  EXPECT_EQ(back.settings.leading, -100);
}

TEST_F(CliProcess, AProjectTextureSizeOutsideTheLimitsExitsWithTwo) {
  GenerationSettings s = FirstStartSettings();
  s.setFontName("DejaVu Sans");
  s.fontSize = 10;
  s.textureWidth = 20000;
  s.textureHeight = 256;
  CharacterSelection sel{};
  SetDefaultSelection(sel);
  const std::vector<uint8_t> bytes = ProjectToBytes(s, sel, {});
  std::ofstream(file("huge.gmp"), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const Result r = Run({file("huge.gmp"), "-e", "BMFont Text", "-o", file("h")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("20000x256"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(file("h.fnt")));
  // A size given on the command line replaces the project's.
  const Result fixed = Run({file("huge.gmp"), "--texture", "256x256", "-e", "BMFont Text", "-o", file("h")});
  EXPECT_EQ(fixed.status, 0) << fixed.err;
}

TEST_F(CliProcess, CharactersFromAFileSkipLineEndsAndReportWideCharactersOnce) {
  std::ofstream(file("chars.txt"), std::ios::binary) << "AB\r\n\xF0\x9F\x98\x80\xF0\x9F\x98\x80\r\n";
  const Result r = Run({"--font", "DejaVu Sans", "--size", "10", "--chars-from", file("chars.txt"), "-e", "BMFont Text",
                        "-o", file("f")});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string fnt = ReadAll(file("f.fnt"));
  EXPECT_NE(fnt.find("chars count=3"), std::string::npos) << fnt;  // A, B and the space every descriptor has
  EXPECT_EQ(fnt.find("char id=13 "), std::string::npos) << fnt;
  EXPECT_EQ(fnt.find("char id=10 "), std::string::npos) << fnt;
  const std::string notice = "U+1F600 is not representable";
  ASSERT_NE(r.err.find(notice), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find(notice, r.err.find(notice) + 1), std::string::npos) << r.err;  // once
}

TEST_F(CliProcess, ASelectionLeftEmptyExitsWithThreeUnlessForced) {
  std::ofstream(file("wide.txt"), std::ios::binary) << "\xF0\x9F\x98\x80\r\n";
  const Result empty = Run({"--font", "DejaVu Sans", "--size", "10", "--chars-from", file("wide.txt"), "-e",
                            "BMFont Text", "-o", file("e")});
  EXPECT_EQ(empty.status, 3) << empty.err;
  EXPECT_NE(empty.err.find("no character is left to export"), std::string::npos) << empty.err;
  EXPECT_FALSE(fs::exists(file("e.fnt")));
  // Code units the font lacks are pruned away as well.
  const Result pruned =
      Run({"--font", "DejaVu Sans", "--size", "10", "--chars", "0xE000-0xE00F", "-e", "BMFont Text", "-o", file("p")});
  EXPECT_EQ(pruned.status, 3) << pruned.err;
  EXPECT_NE(pruned.err.find("no character is left to export"), std::string::npos) << pruned.err;
  const Result forced = Run({"--font", "DejaVu Sans", "--size", "10", "--chars-from", file("wide.txt"), "-e",
                             "BMFont Text", "-o", file("e"), "--force"});
  EXPECT_EQ(forced.status, 0) << forced.err;
}

TEST_F(CliProcess, AnEndlessCharacterFileIsRefusedClearly) {
  const Result r = Run(With(SmallFont(), {"--chars-from", "/dev/zero", "-e", "BMFont Text", "-o", file("z")}));
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("\"/dev/zero\": a list of characters is at most 16 MiB"), std::string::npos) << r.err;
}

TEST_F(CliProcess, VersionAndHelpWithTheExitStatuses) {
  const Result version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "glyphmill-cli 4.1\n");
  const Result help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* line : {"Exit status:", "  0  success", "  1  bad usage", "  2  the project was refused",
                           "  3  characters do not fit", "  4  an export or the project save failed"})
    EXPECT_NE(help.out.find(line), std::string::npos) << line << "\n" << help.out;
}

}  // namespace
}  // namespace glyphmill

namespace glyphmill {
namespace {

TEST_F(CliProcess, ADistanceFieldExportStatesItsFieldInEveryDescriptor) {
  // Each cell grows by the spread on every side: a larger texture holds them.
  std::vector<std::string> font = SmallFont();
  font.back() = "256x256";
  const Result r =
      Run(With(font, {"--aa", "sdf", "--sdf-spread", "5", "--outline", "2", "-e", "BMFont Text", "-e", "BMFont XML",
                      "-e", "JSON Metrics", "-e", "BMFont Binary", "-e", "BMFont JSON", "-o", file("f"), "--quiet"}));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string text = ReadAll(file("f.fnt"));
  const std::string xml = ReadAll(file("f-2.fnt"));
  const std::string json = ReadAll(file("f.json"));
  // Text: its own line right after "common".
  const size_t common = text.find("\ncommon ");
  ASSERT_NE(common, std::string::npos) << text;
  const size_t next = text.find('\n', common + 1);
  EXPECT_EQ(text.compare(next + 1, 41, "distanceField fieldType=sdf distanceRange"), 0) << text;
  EXPECT_NE(text.find("distanceField fieldType=sdf distanceRange=10\n"), std::string::npos) << text;
  // The outline is not baked, so none is stated.
  EXPECT_NE(text.find(" outline=0"), std::string::npos) << text;
  EXPECT_NE(xml.find("<distanceField fieldType=\"sdf\" distanceRange=\"10\"/>"), std::string::npos) << xml;
  EXPECT_LT(xml.find("<common "), xml.find("<distanceField "));
  EXPECT_NE(json.find("\"distanceField\": {"), std::string::npos) << json;
  EXPECT_NE(json.find("\"fieldType\": \"sdf\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"distanceRange\": 10"), std::string::npos) << json;
  // The binary form has no block for it and is written as in every other mode.
  EXPECT_TRUE(fs::exists(file("f-3.fnt")));
  // BMFont JSON: an object of its own beside "common", read here as JSON.
  const nlohmann::json bmJson = nlohmann::json::parse(ReadAll(file("f-2.json")));
  ASSERT_TRUE(bmJson.contains("distanceField")) << bmJson.dump();
  EXPECT_EQ(bmJson["distanceField"]["fieldType"], "sdf");
  EXPECT_EQ(bmJson["distanceField"]["distanceRange"], 10);
  EXPECT_EQ(bmJson["common"]["pages"], 1);
}

TEST_F(CliProcess, MultiChannelFieldExportsStateTheirFieldTypeInEveryDescriptor) {
  std::vector<std::string> font = SmallFont();
  font.back() = "256x256";
  for (const std::string type : {"msdf", "mtsdf"}) {
    const std::string base = file(type);
    const Result r = Run(With(font, {"--aa", type, "--sdf-spread", "3", "-e", "BMFont Text", "-e", "BMFont XML", "-e",
                                     "JSON Metrics", "-e", "BMFont JSON", "-o", base, "--quiet"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");  // every glyph of DejaVu Sans has an outline: no fallback notice
    EXPECT_NE(ReadAll(base + ".fnt").find("distanceField fieldType=" + type + " distanceRange=6\n"), std::string::npos)
        << ReadAll(base + ".fnt");
    EXPECT_NE(ReadAll(base + "-2.fnt").find("<distanceField fieldType=\"" + type + "\" distanceRange=\"6\"/>"),
              std::string::npos);
    const nlohmann::json metrics = nlohmann::json::parse(ReadAll(base + ".json"));
    EXPECT_EQ(metrics["distanceField"]["fieldType"], type);
    EXPECT_EQ(metrics["distanceField"]["distanceRange"], 6);
    const nlohmann::json bmJson = nlohmann::json::parse(ReadAll(base + "-2.json"));
    EXPECT_EQ(bmJson["distanceField"]["fieldType"], type);
    EXPECT_EQ(bmJson["distanceField"]["distanceRange"], 6);
  }
}

TEST_F(CliProcess, ACoverageExportStatesNoField) {
  const Result r = Run(With(SmallFont(), {"--sdf-spread", "5", "-e", "BMFont Text", "-o", file("f"), "--quiet"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadAll(file("f.fnt")).find("distanceField"), std::string::npos);
  const Result json = Run(With(SmallFont(), {"-e", "BMFont JSON", "-o", file("g.json"), "--quiet"}));
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(ReadAll(file("g.json")).find("distanceField"), std::string::npos);
}

TEST_F(CliProcess, ASpreadOutsideTheOfferedRangeIsAUsageError) {
  const Result r = Run(With(SmallFont(), {"--aa", "sdf", "--sdf-spread", "40"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("distance-field spread \"40\" is not a whole number from 2 to 32"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace glyphmill
