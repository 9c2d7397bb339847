#include "export/plugin_registry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "export/export_messages.h"
#include "export_test_support.h"

using namespace std::chrono_literals;

namespace glyphmill {
namespace {

using testing_support::Plugin;
using testing_support::PluginAs;
using testing_support::PluginFolder;
using Kind = ScriptedDialogs::Kind;

struct Discovered {
  PluginRegistry registry;
  ExportJobQueue jobs;
  ScriptedDialogs dialogs;
  explicit Discovered(std::chrono::milliseconds limit = 20s) {
    registry.setCallLimits({limit, limit});
    jobs.resize(3);  // discovery empties the queue
    registry.Discover(dialogs, jobs);
  }
  std::vector<ScriptedDialogs::Entry> messages() const { return dialogs.entries(Kind::Message); }
};

const std::string kCr = "\r";

TEST(PluginRegistry, LoadsUsablePluginsWithTheirInfoAndFlags) {
  PluginFolder folder({Plugin("simple_ok"), Plugin("data_ok"), Plugin("graphic_rgb"), Plugin("graphic_or")});
  Discovered d;
  EXPECT_TRUE(d.messages().empty());
  EXPECT_TRUE(d.jobs.empty());
  ASSERT_EQ(d.registry.size(), 4u);
  EXPECT_TRUE(d.registry.hasSimpleExporter());
  for (std::size_t i = 0; i < d.registry.size(); ++i) {
    const TExportPlugin& p = d.registry.at(i);
    EXPECT_TRUE(p.Usable);
    EXPECT_NE(p.hostSlot, 0u);
    EXPECT_EQ(p.Path.rfind("plugins/", 0), 0u) << p.Path;
    if (p.Name == "Test Simple") {
      EXPECT_EQ(p.Path, "plugins/simple_ok.so");
      EXPECT_EQ(p.pluginType(), ptSimple);
      EXPECT_TRUE(p.askFileName());
      EXPECT_EQ(p.extension(), "fnt");
      EXPECT_TRUE(p.SimpleExport);
      EXPECT_FALSE(p.GraphicExport);
      EXPECT_FALSE(p.DataExport);
      EXPECT_TRUE(p.CanRGB && p.CanAlpha && p.CanData);
    } else if (p.Name == "Test Data") {
      EXPECT_TRUE(p.DataExport);
      EXPECT_FALSE(p.SimpleExport);
      EXPECT_FALSE(p.CanRGB || p.CanAlpha);
      EXPECT_TRUE(p.CanData);
    } else if (p.Name == "Colour Only") {
      EXPECT_TRUE(p.GraphicExport);
      EXPECT_TRUE(p.CanRGB);
      EXPECT_FALSE(p.CanAlpha || p.CanData);
    } else {
      EXPECT_EQ(p.Name, "Any Image");
      EXPECT_TRUE(p.CanRGB && p.CanAlpha);
      EXPECT_FALSE(p.CanData);
    }
  }
}

TEST(PluginRegistry, OnlyGraphicAndDataPluginsLeaveTheSimpleFlagOff) {
  PluginFolder folder({Plugin("data_ok"), Plugin("graphic_and")});
  Discovered d;
  EXPECT_EQ(d.registry.size(), 2u);
  EXPECT_FALSE(d.registry.hasSimpleExporter());
}

TEST(PluginRegistry, EmptyOrMissingFolderGivesOnlyTheNoPluginsWarning) {
  PluginFolder folder({});
  {
    Discovered d;
    ASSERT_EQ(d.dialogs.log().size(), 1u);
    const DialogMessage& m = d.dialogs.log()[0].message;
    EXPECT_EQ(m.caption, "No Plugins!");
    EXPECT_EQ(m.icon, DialogIcon::Warning);
    EXPECT_EQ(m.owner, DialogOwner::None);
    EXPECT_EQ(m.text, "Warning! No valid export plugins were found in the \"plugins/\" directory!" + kCr +
                          "There is not really any point to running Glyphmill now, unless you just messing around...");
  }
  std::filesystem::remove_all("plugins");
  Discovered missing;
  EXPECT_EQ(missing.registry.size(), 0u);
  ASSERT_EQ(missing.dialogs.log().size(), 1u);
  EXPECT_EQ(missing.dialogs.log()[0].message.caption, "No Plugins!");
}

TEST(PluginRegistry, MissingGetPluginInfoNamesThePathTwice) {
  PluginFolder folder({Plugin("no_info"), Plugin("simple_quiet")});
  Discovered d;
  ASSERT_EQ(d.registry.size(), 1u);
  EXPECT_EQ(d.registry.at(0).Name, "Quiet Simple");
  ASSERT_EQ(d.messages().size(), 1u);
  const DialogMessage m = d.messages()[0].message;
  EXPECT_EQ(m.caption, "Plugin Load Error");
  EXPECT_EQ(m.icon, DialogIcon::Error);
  EXPECT_EQ(m.text, "Failed to load plugin: plugins/no_info.so" + kCr + kCr +
                        "Could not load plugin: plugins/no_info.so" + kCr +
                        "This plugin does not have the required GetPluginInfo procedure.");
}

TEST(PluginRegistry, WrongEntryPointForTheTypeIsRefused) {
  PluginFolder folder({Plugin("data_wrong_entry")});
  Discovered d;
  EXPECT_EQ(d.registry.size(), 0u);
  const auto msgs = d.messages();
  ASSERT_EQ(msgs.size(), 2u);  // the entry point warning, then "No Plugins!"
  EXPECT_EQ(msgs[0].message.caption, "Plugin Error");
  EXPECT_EQ(msgs[0].message.icon, DialogIcon::Warning);
  EXPECT_EQ(msgs[0].message.text, "There was an error while trying to load the \"Data Without Entry\" plugin:" + kCr +
                                      kCr + "The plugin was supposed to be of the Data type," + kCr +
                                      "but the correct export function couldn't be found in this plugin.");
  EXPECT_EQ(msgs[1].message.caption, "No Plugins!");
}

TEST(PluginRegistry, UnloadableFilesAreSkippedSilently) {
  PluginFolder folder({Plugin("graphic_alpha")});
  folder.addFile("broken.so", "this is not a shared library");
  folder.addFile("notes.txt", "ignored: not *.so");
  std::filesystem::create_directory("plugins/folder.so");
  Discovered d;
  EXPECT_TRUE(d.messages().empty());
  ASSERT_EQ(d.registry.size(), 1u);
  EXPECT_EQ(d.registry.at(0).Name, "Alpha Only");
}

TEST(PluginRegistry, InfoThatWritesNothingIsAGraphicPluginWithoutBuffers) {
  PluginFolder folder({Plugin("info_nothing")});
  Discovered d;
  ASSERT_EQ(d.registry.size(), 1u);
  const TExportPlugin& p = d.registry.at(0);
  EXPECT_EQ(p.pluginType(), 0);
  EXPECT_EQ(p.Name, "");
  EXPECT_FALSE(p.askFileName());
  EXPECT_TRUE(p.GraphicExport);
  EXPECT_FALSE(p.CanRGB || p.CanAlpha || p.CanData);
  EXPECT_FALSE(d.registry.hasSimpleExporter());
}

TEST(PluginRegistry, TwoPluginsOfTheSameNameAreBothRegistered) {
  PluginFolder folder({PluginAs("simple_ok", "first.so"), PluginAs("simple_ok", "second.so")});
  Discovered d;
  ASSERT_EQ(d.registry.size(), 2u);
  EXPECT_EQ(d.registry.at(0).Name, "Test Simple");
  EXPECT_EQ(d.registry.at(1).Name, "Test Simple");
  EXPECT_NE(d.registry.at(0).Path, d.registry.at(1).Path);
}

TEST(PluginRegistry, FailingGetPluginInfoIsReportedAndTheOthersStay) {
  PluginFolder folder({Plugin("info_crash"), Plugin("info_throw"), Plugin("info_hang"), Plugin("graphic_rgb")});
  Discovered d(500ms);
  ASSERT_EQ(d.registry.size(), 1u);
  EXPECT_EQ(d.registry.at(0).Name, "Colour Only");
  const auto msgs = d.messages();
  ASSERT_EQ(msgs.size(), 3u);
  bool crash = false, thrown = false, hang = false;
  for (const auto& e : msgs) {
    EXPECT_EQ(e.message.caption, "Plugin Load Error");
    const std::string& t = e.message.text;
    if (t.rfind("Failed to load plugin: plugins/info_crash.so" + kCr + kCr + "The plugin crashed", 0) == 0)
      crash = true;
    if (t == "Failed to load plugin: plugins/info_throw.so" + kCr + kCr + "disk on fire") thrown = true;
    if (t.rfind("Failed to load plugin: plugins/info_hang.so" + kCr + kCr + "The plugin did not return", 0) == 0)
      hang = true;
  }
  EXPECT_TRUE(crash && thrown && hang) << msgs[0].message.text << "\n"
                                       << msgs[1].message.text << "\n"
                                       << msgs[2].message.text;
}

TEST(PluginRegistry, ExtensionLengthIsHeldToItsField) {
  PluginFolder folder({Plugin("long_extension")});
  Discovered d;
  ASSERT_EQ(d.registry.size(), 1u);
  EXPECT_EQ(d.registry.at(0).Info.Extension[0], 4);
  EXPECT_EQ(d.registry.at(0).extension(), "abcd");
}

TEST(PluginRegistry, ReleaseEmptiesTheRegistry) {
  PluginFolder folder({Plugin("simple_ok")});
  Discovered d;
  ASSERT_EQ(d.registry.size(), 1u);
  d.registry.Release();
  EXPECT_EQ(d.registry.size(), 0u);
  EXPECT_FALSE(d.registry.hasSimpleExporter());
  EXPECT_EQ(d.registry.find(0), nullptr);
}

TEST(PluginRegistry, DiscoveryIsRelativeToTheCurrentFolder) {
  PluginFolder folder({Plugin("simple_quiet")});
  std::filesystem::create_directory("elsewhere");
  std::filesystem::current_path("elsewhere");
  Discovered d;
  EXPECT_EQ(d.registry.size(), 0u);
  std::filesystem::current_path("..");
  Discovered here;
  EXPECT_EQ(here.registry.size(), 1u);
}

}  // namespace
}  // namespace glyphmill
