// The installed tree, as a user gets it from `cmake --install` into a scratch prefix: every part in
// its place, the installed programs run from an empty working folder with a scratch home (they
// find the shipped exporters relative to themselves, the window writes its autosave under
// XDG_CONFIG_HOME and reads it back), a plug-in built out of tree against the installed header
// loads from the user's plug-in folder, the tree still works after it is moved, and the desktop
// files pass their validators.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "export/export_job.h"
#include "project/project_file.h"
#include "project/project_layout.h"
#include "scratch_folder.h"

namespace glyphmill {
namespace {

namespace fs = std::filesystem;

const std::string kPrefix = GLYPHMILL_TEST_PREFIX;
const std::vector<std::string> kShippedExporters = {"BMFont Binary", "BMFont JSON", "BMFont Text", "BMFont XML",
                                                    "JSON Metrics",  "PNG Image",   "TGA Image"};

using Result = testing::ProcessResult;
using testing::Quote;
using testing::ReadAll;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

// A scratch user: an empty working folder and a home of its own, removed afterwards.
class Installed : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(work());
    fs::create_directories(home());
  }

  std::string work() const { return root_ + "/work"; }
  std::string home() const { return root_ + "/home"; }
  std::string path(const std::string& relative) const { return root_ + "/" + relative; }

  // Runs `command` (already quoted) in the empty working folder with nothing of the caller's
  // environment but PATH, the sanitizers' options, HOME and `extra` ("NAME=value" each).
  Result Run(const std::string& command, const std::vector<std::string>& extra = {}, int seconds = 120) {
    std::string line =
        "cd " + Quote(work()) + " && env -i PATH=" + Quote(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin");
    for (const char* keep : {"LSAN_OPTIONS", "ASAN_OPTIONS", "UBSAN_OPTIONS"})
      if (const char* value = std::getenv(keep)) line += std::string(" ") + keep + "=" + Quote(value);
    line += " HOME=" + Quote(home()) + " LANG=C.UTF-8";
    for (const std::string& e : extra) line += " " + Quote(e);
    line += " timeout " + std::to_string(seconds) + " " + command;
    return testing::RunShell(line, root_);
  }
  Result Cli(const std::string& args, const std::vector<std::string>& extra = {}, const std::string& prefix = kPrefix) {
    return Run(Quote(prefix + "/bin/glyphmill-cli") + " " + args, extra);
  }

  // The --list-plugins lines as name -> folder, in order.
  std::vector<std::pair<std::string, std::string>> Listed(const std::vector<std::string>& extra = {},
                                                          const std::string& prefix = kPrefix) {
    const Result r = Cli("--list-plugins", extra, prefix);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::pair<std::string, std::string>> listed;
    for (const std::string& line : Lines(r.out)) {
      const std::vector<std::string> f = Fields(line);
      EXPECT_EQ(f.size(), 5u) << line;
      if (f.size() == 5) listed.emplace_back(f[1], f[4]);
    }
    return listed;
  }

  // Builds tests/install/tiny_plugin.c with only the installed header, as a third party would.
  bool BuildTinyPlugin(const std::string& output) {
    fs::create_directories(fs::path(output).parent_path());
    const std::string cflags =
        "$(PKG_CONFIG_PATH=" + Quote(kPrefix + "/share/pkgconfig") + " pkg-config --cflags glyphmill-plugin)";
    const Result r = Run("sh -c " + Quote("cc -std=c11 -Wall -Wextra -Werror -shared -fPIC " + cflags + " -o " +
                                          Quote(output) + " " + Quote(GLYPHMILL_TINY_PLUGIN_SOURCE)));
    EXPECT_EQ(r.status, 0) << r.err;
    return r.status == 0;
  }

  testing::ScratchFolder scratch_{"installed"};
  std::string root_ = scratch_.path().string();
};

// ---- the tree ----------------------------------------------------------------------------------

// The width and height a PNG file's header gives.
std::pair<uint32_t, uint32_t> PngSize(const std::string& file) {
  const std::string bytes = ReadAll(file);
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
  const auto be32 = [&bytes](std::size_t at) {
    return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
           (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint32_t(uint8_t(bytes[at + 3]));
  };
  return {be32(16), be32(20)};
}

TEST(InstalledTree, HoldsEveryPartInItsPlace) {
  std::vector<std::string> files = {
      "bin/glyphmill-cli",
      "include/glyphmill/plugin.h",
      "include/glyphmill/host.h",
      "share/pkgconfig/glyphmill-plugin.pc",
      "share/applications/org.example.Glyphmill.desktop",
      "share/metainfo/org.example.Glyphmill.metainfo.xml",
      "share/mime/packages/org.example.Glyphmill.xml",
      "share/icons/hicolor/scalable/apps/org.example.Glyphmill.svg",
      "share/man/man1/glyphmill.1",
      "share/man/man1/glyphmill-cli.1",
      "share/bash-completion/completions/glyphmill-cli",
      "share/doc/glyphmill/help.html",
      "share/doc/glyphmill/LICENSE",
      "share/doc/glyphmill/copyright",
  };
  for (const char* plugin : {"bmfont_binary", "bmfont_text", "bmfont_xml", "json_metrics", "png_image", "tga_image"})
    files.push_back(std::string("lib/glyphmill/plugins/") + plugin + ".so");
  if (GLYPHMILL_TEST_HAS_GUI) files.push_back("bin/glyphmill");
  if (GLYPHMILL_TEST_HAS_HOST) files.push_back("lib/glyphmill/glyphmill-plugin-host");
  for (const std::string& file : files) EXPECT_TRUE(fs::is_regular_file(kPrefix + "/" + file)) << file;
  for (const char* program : {"bin/glyphmill-cli", "bin/glyphmill", "lib/glyphmill/glyphmill-plugin-host"})
    if (fs::exists(kPrefix + "/" + program)) {
      EXPECT_EQ(::access((kPrefix + "/" + program).c_str(), X_OK), 0) << program;
    }
  for (uint32_t size : {48u, 128u, 256u}) {
    const std::string icon = kPrefix + "/share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) +
                             "/apps/org.example.Glyphmill.png";
    EXPECT_EQ(PngSize(icon), std::make_pair(size, size)) << icon;
  }
}

// ---- the command-line tool ---------------------------------------------------------------------

TEST_F(Installed, CliFindsTheShippedExportersFromAnEmptyFolder) {
  const auto listed = Listed();
  std::vector<std::string> names;
  for (const auto& [name, folder] : listed) {
    names.push_back(name);
    EXPECT_EQ(fs::canonical(folder), fs::canonical(kPrefix + "/lib/glyphmill/plugins")) << name;
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, kShippedExporters);
}

TEST_F(Installed, CliExportsAFont) {
  const Result r =
      Cli("--font 'DejaVu Sans' --size 12 --texture 256x256 -e 'BMFont Text' -e 'PNG Image' -o out/font.fnt");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string descriptor = ReadAll(work() + "/out/font.fnt");
  EXPECT_NE(descriptor.find("face=\"DejaVu Sans\""), std::string::npos);
  EXPECT_NE(descriptor.find("char id=65 "), std::string::npos) << descriptor.substr(0, 400);
  EXPECT_EQ(PngSize(work() + "/out/font_0.png"), std::make_pair(256u, 256u));
  EXPECT_EQ(PngSize(work() + "/out/font.png"), std::make_pair(256u, 256u));
}

TEST_F(Installed, APluginBuiltAgainstTheInstalledHeaderLoadsFromTheUsersFolder) {
  const std::string userPlugins = path("data/glyphmill/plugins");
  ASSERT_TRUE(BuildTinyPlugin(userPlugins + "/tiny.so"));
  const std::vector<std::string> env = {"XDG_DATA_HOME=" + path("data")};
  const auto listed = Listed(env);
  ASSERT_EQ(listed.size(), kShippedExporters.size() + 1);
  // The user's folder is searched before the installed one.
  EXPECT_EQ(listed.front(), std::make_pair(std::string("Tiny Count"), userPlugins));

  const Result r =
      Cli("--font 'DejaVu Sans' --size 10 --chars 65-90 --texture 128x128 -e 'Tiny Count' -o out/count", env);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadAll(work() + "/out/count.txt"), "26 characters on 128x128\n");
}

TEST_F(Installed, TheUsersPluginHidesAnInstalledOneOfTheSameFileName) {
  ASSERT_TRUE(BuildTinyPlugin(path("data/glyphmill/plugins/png_image.so")));
  const auto listed = Listed({"XDG_DATA_HOME=" + path("data")});
  ASSERT_EQ(listed.size(), kShippedExporters.size());
  std::vector<std::string> names;
  for (const auto& entry : listed) names.push_back(entry.first);
  EXPECT_EQ(std::count(names.begin(), names.end(), "PNG Image"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), "Tiny Count"), 1);
}

TEST_F(Installed, TheWorkingFoldersPluginsComeFirst) {
  ASSERT_TRUE(BuildTinyPlugin(work() + "/plugins/tiny.so"));
  const auto listed = Listed();
  ASSERT_EQ(listed.size(), kShippedExporters.size() + 1);
  EXPECT_EQ(listed.front(), std::make_pair(std::string("Tiny Count"), std::string("plugins")));
}

TEST_F(Installed, TheTreeStillWorksAfterItIsMoved) {
  const std::string moved = path("elsewhere/prefix");
  fs::create_directories(moved);
  fs::copy(kPrefix, moved, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  const auto listed = Listed({}, moved);
  ASSERT_EQ(listed.size(), kShippedExporters.size());
  for (const auto& [name, folder] : listed) EXPECT_EQ(folder, moved + "/lib/glyphmill/plugins") << name;
  const Result pc = Run("sh -c " + Quote("PKG_CONFIG_PATH=" + Quote(moved + "/share/pkgconfig") +
                                         " pkg-config --cflags glyphmill-plugin"));
  ASSERT_EQ(pc.status, 0) << pc.err;
  EXPECT_NE(pc.out.find("-I" + moved + "/share/pkgconfig/../../include"), std::string::npos) << pc.out;
}

// ---- the window program ------------------------------------------------------------------------

// A project with `fontSize` and one queued job naming "PNG Image" by a registry index no list has.
std::vector<uint8_t> ProjectWithJob(uint8_t fontSize) {
  GenerationSettings s = FirstStartSettings();
  s.setFontName("DejaVu Sans");
  s.fontSize = fontSize;
  CharacterSelection selection{};
  SetDefaultSelection(selection);
  TExportJob job;
  job.UseRGB = true;
  job.PluginIndex = 99;
  const std::string name = "PNG Image";
  job.PluginName[0] = static_cast<uint8_t>(name.size());
  std::copy(name.begin(), name.end(), job.PluginName.begin() + 1);
  return ProjectToBytes(s, selection, {job});
}

TEST_F(Installed, WindowWritesItsAutosaveUnderXdgConfigHomeAndReadsItBack) {
  if (!GLYPHMILL_TEST_HAS_GUI) GTEST_SKIP() << "built without the window program";
  const std::string window = Quote(kPrefix + "/bin/glyphmill");
  const std::vector<std::string> env = {"XDG_CONFIG_HOME=" + path("config"), "QT_QPA_PLATFORM=offscreen",
                                        "GLYPHMILL_CLOSE_AFTER_START=1"};
  const std::string autosave = path("config/glyphmill/Autosave.gmp");

  // First start: no autosave yet; closing writes one, into a folder made for it.
  Result r = Run(window, env, 60);
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(fs::is_regular_file(autosave)) << r.err;
  // No queued jobs; the extension block holds the first start's fitted size (tag, length, one
  // entry of type 3: 8 + 6 + 5 bytes).
  EXPECT_EQ(fs::file_size(autosave), kProjectJobsOffset + 19);
  EXPECT_FALSE(fs::exists(work() + "/Autosave.gmp"));

  // Second start: the autosave is read (size 24, a job by the name of a shipped exporter) and written
  // again on close. The job's index comes back as the exporter's place in the installed list, which
  // only a window that found the installed exporters can give it.
  const std::vector<uint8_t> bytes = ProjectWithJob(24);
  std::ofstream(autosave, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  r = Run(window, env, 60);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string after = ReadAll(autosave);
  const auto dataRead = ParseProjectBytes(reinterpret_cast<const uint8_t*>(after.data()), after.size(), {});
  ASSERT_TRUE(dataRead.has_value()) << dataRead.error().text;
  const ProjectData& data = *dataRead;
  EXPECT_EQ(data.settings.fontSize, 24);
  EXPECT_FALSE(data.extensions.extras.fitTexture);  // a loaded autosave keeps its own, hand-set size
  ASSERT_EQ(data.jobs.size(), 1u);
  const auto listed = Listed();
  const auto png = std::find_if(listed.begin(), listed.end(), [](const auto& e) { return e.first == "PNG Image"; });
  ASSERT_NE(png, listed.end());
  EXPECT_EQ(data.jobs[0].PluginIndex, png - listed.begin());
  EXPECT_EQ(data.jobs[0].pluginNameString(), "PNG Image");
}

TEST_F(Installed, WindowOpensAProjectGivenAsItsArgument) {
  if (!GLYPHMILL_TEST_HAS_GUI) GTEST_SKIP() << "built without the window program";
  const std::vector<uint8_t> bytes = ProjectWithJob(40);
  std::ofstream(work() + "/opened.gmp", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const Result r =
      Run(Quote(kPrefix + "/bin/glyphmill") + " opened.gmp",
          {"XDG_CONFIG_HOME=" + path("config"), "QT_QPA_PLATFORM=offscreen", "GLYPHMILL_CLOSE_AFTER_START=1"}, 60);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string after = ReadAll(path("config/glyphmill/Autosave.gmp"));
  const auto dataRead = ParseProjectBytes(reinterpret_cast<const uint8_t*>(after.data()), after.size(), {});
  ASSERT_TRUE(dataRead.has_value()) << dataRead.error().text;
  const ProjectData& data = *dataRead;
  EXPECT_EQ(data.settings.fontSize, 40);
}

// ---- desktop files, manual pages ----------------------------------------------------------------

TEST_F(Installed, DesktopEntryAndAppStreamDataPassTheirValidators) {
  Result r = Run("desktop-file-validate " + Quote(kPrefix + "/share/applications/org.example.Glyphmill.desktop"));
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out.find("error"), std::string::npos) << r.out;
  r = Run("appstreamcli validate --no-net " + Quote(kPrefix + "/share/metainfo/org.example.Glyphmill.metainfo.xml"));
  EXPECT_EQ(r.status, 0) << r.out << r.err;
}

TEST_F(Installed, TheProjectFileTypeIsKnownByNameAndContent) {
  // A scratch copy of the MIME folder, compiled as the desktop compiles the installed one.
  fs::create_directories(path("mime/packages"));
  fs::copy_file(kPrefix + "/share/mime/packages/org.example.Glyphmill.xml", path("mime/packages/glyphmill.xml"));
  const Result r = Run("update-mime-database " + Quote(path("mime")));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(ReadAll(path("mime/globs2")).find("application/x-glyphmill-project:*.gmp"), std::string::npos);
  EXPECT_NE(ReadAll(path("mime/magic")).find("application/x-glyphmill-project"), std::string::npos);
  const std::string desktop = ReadAll(kPrefix + "/share/applications/org.example.Glyphmill.desktop");
  EXPECT_NE(desktop.find("MimeType=application/x-glyphmill-project;"), std::string::npos);
  EXPECT_NE(desktop.find("Exec=glyphmill %f"), std::string::npos);
}

TEST_F(Installed, ManualPagesRender) {
  for (const char* page : {"glyphmill.1", "glyphmill-cli.1"}) {
    const Result r = Run("man --warnings -E UTF-8 -l " + Quote(kPrefix + "/share/man/man1/" + page), {"MANWIDTH=80"});
    EXPECT_EQ(r.status, 0) << page << r.err;
    EXPECT_EQ(r.err, "") << page;
    EXPECT_NE(r.out.find("NAME"), std::string::npos) << page;
    EXPECT_NE(r.out.find("XDG_DATA_HOME"), std::string::npos) << page;
  }
}

TEST_F(Installed, BashCompletesPluginNamesFromTheInstalledCli) {
  const std::string script = "source " + Quote(kPrefix + "/share/bash-completion/completions/glyphmill-cli") +
                             " && COMP_WORDS=(" + Quote(kPrefix + "/bin/glyphmill-cli") +
                             " -e 'BMFont T') && COMP_CWORD=2 && _glyphmill_cli && printf '%s\\n' \"${COMPREPLY[@]}\"";
  const Result r = Run("bash -c " + Quote(script));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "BMFont\\ Text\n");
}

}  // namespace
}  // namespace glyphmill
