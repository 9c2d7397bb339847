// Where plug-ins, the plug-in host, the autosave and the help page are found, driven by explicit
// environments: XDG variables set, unset, empty or relative, and a missing home folder.
#include "app/install_paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "export/plugin_host_process.h"
#include "scratch_folder.h"

namespace glyphmill {
namespace {

namespace fs = std::filesystem;

InstallEnvironment Installed() {
  InstallEnvironment env;
  env.workingFolder = "/home/ann/fonts";
  env.programFolder = "/opt/gm/bin";
  env.home = "/home/ann";
  return env;
}

// A scratch folder, removed afterwards.
struct Scratch {
  testing::ScratchFolder folder{"paths"};
  std::string path = folder.path().string();
  std::string touch(const std::string& relative) const {
    const fs::path file = fs::path(path) / relative;
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
    return file.string();
  }
};

TEST(PluginSearchFolders, WorkingFolderFirstThenTheUsersThenTheInstalled) {
  const std::vector<std::string> folders = PluginSearchFolders(Installed());
  EXPECT_EQ(folders, (std::vector<std::string>{"plugins", "/home/ann/.local/share/glyphmill/plugins",
                                               "/opt/gm/lib/glyphmill/plugins"}));
}

TEST(PluginSearchFolders, TheFirstStaysRelativeAsGiven) {
  // The classic paths stay "plugins/NAME.so"; a folder given instead takes the first place.
  EXPECT_EQ(PluginSearchFolders(Installed()).front(), "plugins");
  EXPECT_EQ(PluginSearchFolders(Installed(), "/srv/p").front(), "/srv/p");
}

TEST(PluginSearchFolders, XdgDataHomeReplacesTheDefaultUserFolder) {
  InstallEnvironment env = Installed();
  env.xdgDataHome = "/data/ann/";
  EXPECT_EQ(PluginSearchFolders(env)[1], "/data/ann/glyphmill/plugins");
}

TEST(PluginSearchFolders, EmptyOrRelativeXdgDataHomeIsIgnored) {
  InstallEnvironment env = Installed();
  for (const char* value : {"", "relative/data", "./x"}) {
    env.xdgDataHome = value;
    EXPECT_EQ(PluginSearchFolders(env)[1], "/home/ann/.local/share/glyphmill/plugins") << value;
  }
}

TEST(PluginSearchFolders, NoHomeLeavesOutTheUsersFolder) {
  InstallEnvironment env = Installed();
  env.home.clear();
  EXPECT_EQ(PluginSearchFolders(env), (std::vector<std::string>{"plugins", "/opt/gm/lib/glyphmill/plugins"}));
  env.xdgDataHome = "/data";  // an absolute XDG_DATA_HOME needs no home
  EXPECT_EQ(PluginSearchFolders(env)[1], "/data/glyphmill/plugins");
}

TEST(PluginSearchFolders, TheSameFolderIsSearchedOnce) {
  InstallEnvironment env = Installed();
  env.xdgDataHome = "/opt/gm/lib";  // the user's folder is the installed one
  EXPECT_EQ(PluginSearchFolders(env), (std::vector<std::string>{"plugins", "/opt/gm/lib/glyphmill/plugins"}));
  env = Installed();
  env.workingFolder = "/opt/gm/lib/glyphmill";  // started inside the installed tree
  EXPECT_EQ(PluginSearchFolders(env),
            (std::vector<std::string>{"plugins", "/home/ann/.local/share/glyphmill/plugins"}));
}

TEST(Autosave, LivesInTheConfigurationFolder) {
  EXPECT_EQ(AutosavePath(Installed()), "/home/ann/.config/glyphmill/Autosave.gmp");
  InstallEnvironment env = Installed();
  env.xdgConfigHome = "/cfg";
  EXPECT_EQ(AutosavePath(env), "/cfg/glyphmill/Autosave.gmp");
  env.xdgConfigHome = "cfg";  // relative: ignored
  EXPECT_EQ(AutosavePath(env), "/home/ann/.config/glyphmill/Autosave.gmp");
}

TEST(PluginInfoCacheFile, LivesInTheCacheFolder) {
  EXPECT_EQ(PluginInfoCachePath(Installed()), "/home/ann/.cache/glyphmill/plugin-info");
  InstallEnvironment env = Installed();
  env.xdgCacheHome = "/var/tmp/c";
  EXPECT_EQ(PluginInfoCachePath(env), "/var/tmp/c/glyphmill/plugin-info");
  env.xdgCacheHome = "c";  // relative: ignored
  EXPECT_EQ(PluginInfoCachePath(env), "/home/ann/.cache/glyphmill/plugin-info");
  env.home.clear();
  EXPECT_EQ(PluginInfoCachePath(env), "");  // no cache folder: every plug-in is loaded
}

TEST(Autosave, NeverInTheProgramFolder) {
  InstallEnvironment env = Installed();
  env.home.clear();
  EXPECT_EQ(AutosavePath(env), "");  // nowhere to write: the caller reports it
  env.programFolder = "/home/ann/build";
  env.xdgConfigHome = "/x";
  EXPECT_EQ(AutosavePath(env).rfind("/home/ann/build", 0), std::string::npos);
}

TEST(HelpPage, TheWorkingFoldersPageComesFirst) {
  Scratch s;
  InstallEnvironment env;
  env.workingFolder = s.path + "/work";
  env.programFolder = s.path + "/prefix/bin";
  const std::string installed = s.touch("prefix/share/doc/glyphmill/help.html");
  EXPECT_EQ(HelpPagePath(env), installed);
  const std::string local = s.touch("work/help.html");
  EXPECT_EQ(HelpPagePath(env), local);
  EXPECT_EQ(local.front(), '/');
}

TEST(HelpPage, NoneAnywhereGivesNothing) {
  Scratch s;
  InstallEnvironment env;
  env.workingFolder = s.path;
  env.programFolder = s.path + "/bin";
  EXPECT_EQ(HelpPagePath(env), "");
  fs::create_directories(s.path + "/help.html");  // a folder of that name is no page
  EXPECT_EQ(HelpPagePath(env), "");
}

TEST(PluginHost, BesideTheProgramElseInstalled) {
  Scratch s;
  InstallEnvironment env;
  env.programFolder = s.path + "/bin";
  EXPECT_EQ(PluginHostBeside(env.programFolder), s.path + "/lib/glyphmill/glyphmill-plugin-host");
  const std::string beside = s.touch("bin/glyphmill-plugin-host");
  EXPECT_EQ(PluginHostBeside(env.programFolder), beside);
}

TEST(ProcessEnvironment, ReadsTheVariablesAndTheExecutable) {
  const std::string saved = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  const bool wasSet = std::getenv("XDG_CONFIG_HOME") != nullptr;
  ::setenv("XDG_CONFIG_HOME", "/some/config", 1);
  InstallEnvironment env = ProcessEnvironment();
  EXPECT_EQ(env.xdgConfigHome, "/some/config");
  ::unsetenv("XDG_CONFIG_HOME");
  env = ProcessEnvironment();
  EXPECT_EQ(env.xdgConfigHome, "");
  if (wasSet) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  EXPECT_EQ(env.workingFolder, fs::current_path().string());
  EXPECT_TRUE(fs::exists(fs::path(env.programFolder) / "glyphmill_tests_app"));
  EXPECT_FALSE(env.home.empty());
}

}  // namespace
}  // namespace glyphmill
