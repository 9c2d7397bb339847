// Discovery over several plug-in folders: the order of the registry, paths kept as found, and a
// file name found earlier hiding a later file of the same name.
#include <gtest/gtest.h>

#include <filesystem>

#include "export/export_messages.h"
#include "export/plugin_registry.h"
#include "export_test_support.h"

namespace glyphmill {
namespace {

namespace fs = std::filesystem;
using testing_support::Plugin;
using testing_support::PluginAs;
using testing_support::PluginFolder;
using Kind = ScriptedDialogs::Kind;

// Copies the test plug-in `stem` into `folder` under `fileName`.
void Place(const std::string& folder, const std::string& stem, const std::string& fileName) {
  fs::create_directories(folder);
  fs::copy_file(fs::path(GLYPHMILL_TEST_PLUGIN_DIR) / (stem + ".so"), fs::path(folder) / fileName);
}

struct Searched {
  PluginRegistry registry;
  ExportJobQueue jobs;
  ScriptedDialogs dialogs;
  explicit Searched(const std::vector<std::string>& folders) { registry.Discover(dialogs, jobs, folders); }
  std::vector<std::string> names() const {
    std::vector<std::string> n;
    for (std::size_t i = 0; i < registry.size(); ++i) n.push_back(registry.at(i).Name);
    return n;
  }
};

TEST(PluginSearch, FoldersInOrderWithTheirPaths) {
  PluginFolder work({Plugin("simple_ok")});
  const std::string user = work.root() + "/user", installed = work.root() + "/installed";
  Place(user, "data_ok", "data_ok.so");
  Place(installed, "graphic_alpha", "graphic_alpha.so");
  Searched s({"plugins", user, installed});
  EXPECT_EQ(s.names(), (std::vector<std::string>{"Test Simple", "Test Data", "Alpha Only"}));
  ASSERT_EQ(s.registry.size(), 3u);
  EXPECT_EQ(s.registry.at(0).Path, "plugins/simple_ok.so");  // the classic relative path
  EXPECT_EQ(s.registry.at(1).Path, user + "/data_ok.so");
  EXPECT_EQ(s.registry.at(2).Path, installed + "/graphic_alpha.so");
  EXPECT_TRUE(s.registry.hasSimpleExporter());
  EXPECT_TRUE(s.dialogs.log().empty());
}

TEST(PluginSearch, AnEarlierFileNameHidesALaterOne) {
  PluginFolder work({PluginAs("simple_ok", "shared.so")});
  const std::string user = work.root() + "/user", installed = work.root() + "/installed";
  Place(user, "graphic_rgb", "shared.so");  // hidden by the working folder's
  Place(user, "data_ok", "exporter.so");
  Place(installed, "graphic_alpha", "exporter.so");  // hidden by the user's
  Place(installed, "graphic_or", "only_installed.so");
  Searched s({"plugins", user, installed});
  EXPECT_EQ(s.names(), (std::vector<std::string>{"Test Simple", "Test Data", "Any Image"}));
}

TEST(PluginSearch, AFileThatFailsToLoadStillHidesTheInstalledOne) {
  // The user's copy replaces the installed one even when it is broken: no silent mix of the two.
  PluginFolder work({});
  work.addFile("exporter.so", "not a library");
  const std::string installed = work.root() + "/installed";
  Place(installed, "data_ok", "exporter.so");
  Place(installed, "graphic_rgb", "other.so");
  Searched s({"plugins", installed});
  EXPECT_EQ(s.names(), std::vector<std::string>{"Colour Only"});
}

TEST(PluginSearch, MissingFoldersAreSkippedAndNothingAnywhereWarnsOnce) {
  PluginFolder work({});
  Searched s({"plugins", work.root() + "/nope", "/nonexistent/glyphmill/plugins"});
  EXPECT_TRUE(s.registry.empty());
  const auto messages = s.dialogs.entries(Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].message.caption, export_text::kNoPluginsCaption);
  EXPECT_EQ(messages[0].message.text, export_text::NoPlugins("plugins/"));  // names the classic folder
}

TEST(PluginSearch, OneFolderDiscoversAsBefore) {
  PluginFolder work({Plugin("simple_ok"), Plugin("data_ok")});
  PluginRegistry registry;
  ExportJobQueue jobs(2);
  ScriptedDialogs dialogs;
  registry.Discover(dialogs, jobs);
  EXPECT_EQ(registry.size(), 2u);
  EXPECT_TRUE(jobs.empty());
}

}  // namespace
}  // namespace glyphmill
