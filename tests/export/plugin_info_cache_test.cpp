#include "export/plugin_info_cache.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "export/export_messages.h"
#include "export/plugin_registry.h"
#include "export_test_support.h"
#include "host/host_protocol.h"

namespace glyphmill {
namespace {

namespace fs = std::filesystem;
using testing_support::ExportWorld;
using testing_support::Plugin;
using testing_support::PluginAs;
using testing_support::PluginFolder;
using testing_support::ReadReport;
using testing_support::Report;
using Kind = ScriptedDialogs::Kind;

// What a discovery came to: the registry's order of names, and every message it showed.
struct Discovery {
  std::vector<std::string> names;
  std::vector<std::string> messages;
  int hostStarts = 0;
};

Discovery Discover(const std::string& cacheFile) {
  PluginRegistry registry;
  registry.setInfoCacheFile(cacheFile);
  ExportJobQueue jobs;
  ScriptedDialogs dialogs;
  registry.Discover(dialogs, jobs);
  Discovery d;
  for (std::size_t i = 0; i < registry.size(); ++i) d.names.push_back(registry.at(i).Name);
  for (const auto& e : dialogs.entries(Kind::Message)) d.messages.push_back(e.message.text);
  d.hostStarts = registry.host().starts();
  return d;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// ---- the file and what it keeps ------------------------------------------------------------------

TEST(PluginInfoCache, KeepsAnAnswerForExactlyTheFileItCameFrom) {
  PluginFolder folder({Plugin("simple_ok")});
  LibraryIdentity library;
  ASSERT_TRUE(IdentifyLibrary("plugins/simple_ok.so", &library));
  EXPECT_EQ(library.path, fs::canonical("plugins/simple_ok.so").string());
  CachedPluginInfo answer;
  answer.entries = host_protocol::kHasGetPluginInfo | host_protocol::kHasSimpleExport;
  answer.info.Name[0] = 3;
  answer.info.Name[1] = 'A';
  answer.info.Name[2] = '\n';  // any byte survives the text file
  answer.info.Name[3] = ' ';
  answer.info.PluginType = ptSimple;
  {
    PluginInfoCache cache("cache/plugin-info");
    cache.store(library, answer);
    ASSERT_TRUE(cache.save());
  }
  PluginInfoCache reread("cache/plugin-info");
  const CachedPluginInfo* found = reread.find(library);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->entries, answer.entries);
  EXPECT_EQ(std::memcmp(&found->info, &answer.info, sizeof answer.info), 0);

  // The same path holding another file (rewritten: other size and times) has no answer.
  {
    std::ofstream rewrite("plugins/simple_ok.so", std::ios::app);
    rewrite << "more";
  }
  LibraryIdentity rewritten;
  ASSERT_TRUE(IdentifyLibrary("plugins/simple_ok.so", &rewritten));
  EXPECT_EQ(reread.find(rewritten), nullptr);
}

TEST(PluginInfoCache, DamagedOrForeignFilesAreAnEmptyCache) {
  PluginFolder folder({Plugin("simple_ok")});
  LibraryIdentity library;
  ASSERT_TRUE(IdentifyLibrary("plugins/simple_ok.so", &library));
  {
    PluginInfoCache cache("plugin-info");
    cache.store(library, CachedPluginInfo{});
    ASSERT_TRUE(cache.save());
  }
  const std::string good = ReadAll("plugin-info");
  // Another version's header: nothing is read.
  std::ofstream("other-version") << "glyphmill-plugin-info 2\n" << good.substr(good.find('\n') + 1);
  EXPECT_EQ(PluginInfoCache("other-version").size(), 0u);
  // A line cut short (a half-written file from elsewhere) is skipped.
  std::ofstream("cut") << good.substr(0, good.size() / 2);
  EXPECT_EQ(PluginInfoCache("cut").find(library), nullptr);
  EXPECT_EQ(PluginInfoCache("missing-file").size(), 0u);
  EXPECT_EQ(PluginInfoCache("plugin-info").size(), 1u);
}

TEST(PluginInfoCache, NamesNoFileThatIsNotARegularFile) {
  PluginFolder folder({});
  fs::create_directory("plugins/folder.so");
  LibraryIdentity library;
  EXPECT_FALSE(IdentifyLibrary("plugins/folder.so", &library));
  EXPECT_FALSE(IdentifyLibrary("plugins/missing.so", &library));
}

// ---- discovery with the cache --------------------------------------------------------------------

TEST(PluginInfoCacheDiscovery, ASecondDiscoveryRegistersTheSamePluginsWithoutAHost) {
  PluginFolder folder({Plugin("simple_ok"), Plugin("data_ok"), Plugin("graphic_rgb"), Plugin("no_info")});
  const std::string cache = folder.root() + "/cache/plugin-info";
  const Discovery first = Discover(cache);
  EXPECT_EQ(first.hostStarts, 1);
  ASSERT_EQ(first.names.size(), 3u);  // no_info is not usable
  ASSERT_EQ(first.messages.size(), 1u);

  const Discovery second = Discover(cache);
  EXPECT_EQ(second.names, first.names);  // same order, indices and names
  // The library that failed is asked again, with its message, and only it needs a host.
  EXPECT_EQ(second.messages, first.messages);
  EXPECT_EQ(second.hostStarts, 1);

  fs::remove("plugins/no_info.so");
  EXPECT_EQ(Discover(cache).hostStarts, 0);
  EXPECT_EQ(Discover(cache).names, first.names);
}

TEST(PluginInfoCacheDiscovery, AReplacedLibraryIsAskedAgain) {
  PluginFolder folder({PluginAs("simple_ok", "exporter.so")});
  const std::string cache = folder.root() + "/plugin-info";
  EXPECT_EQ(Discover(cache).names, std::vector<std::string>{"Test Simple"});
  // Another library under the same file name.
  fs::copy_file(fs::path(GLYPHMILL_TEST_PLUGIN_DIR) / "data_ok.so", "plugins/exporter.so",
                fs::copy_options::overwrite_existing);
  const Discovery again = Discover(cache);
  EXPECT_EQ(again.names, std::vector<std::string>{"Test Data"});
  EXPECT_EQ(again.hostStarts, 1);
  // Its new answer is the one kept.
  const Discovery third = Discover(cache);
  EXPECT_EQ(third.names, std::vector<std::string>{"Test Data"});
  EXPECT_EQ(third.hostStarts, 0);
}

TEST(PluginInfoCacheDiscovery, WithoutACacheFileEveryLibraryIsLoaded) {
  PluginFolder folder({Plugin("simple_ok")});
  EXPECT_EQ(Discover("").hostStarts, 1);
  EXPECT_EQ(Discover("").hostStarts, 1);
}

// ---- calls to a plug-in registered from the cache --------------------------------------------------

TEST(PluginInfoCacheDiscovery, ARegisteredPluginIsLoadedAndAskedBeforeItsFirstCall) {
  PluginFolder folder({Plugin("graphic_rgb"), Plugin("simple_ok")});
  const std::string cache = folder.root() + "/plugin-info";
  Discover(cache);

  ExportWorld w;
  w.registry.setInfoCacheFile(cache);
  w.discover();
  EXPECT_EQ(w.registry.host().starts(), 0);
  const int32_t simple = w.indexOf("Test Simple");
  ASSERT_EQ(simple, 1);
  w.dialogs.queueSavePath("out.txt");
  ExportContext ctx = w.context();
  EXPECT_EQ(RunExport(ctx, simple).outcome, ExportOutcome::Ran);
  EXPECT_TRUE(w.dialogs.entries(Kind::Message).empty());
  EXPECT_EQ(w.registry.host().starts(), 1);
  const Report r = ReadReport("out.fnt");
  ASSERT_TRUE(r.exists);
  // Its GetPluginInfo ran once in that host before the export, as after a full discovery.
  EXPECT_EQ(r.get("info_calls"), "1");
  EXPECT_EQ(r.get("export_calls"), "1");
  EXPECT_EQ(r.get("char_count"), "3");
}

TEST(PluginInfoCacheDiscovery, ALibraryThatCannotBeLoadedAnyMoreFailsItsCall) {
  PluginFolder folder({Plugin("simple_ok")});
  const std::string cache = folder.root() + "/plugin-info";
  Discover(cache);
  // The same file identity, but the host cannot open it: its path is taken away after discovery.
  ExportWorld w;
  w.registry.setInfoCacheFile(cache);
  w.discover();
  ASSERT_EQ(w.registry.size(), 1u);
  fs::rename("plugins/simple_ok.so", "plugins/moved.so");
  w.dialogs.queueSavePath("out.txt");
  ExportContext ctx = w.context();
  const ExportReport report = RunExport(ctx, 0);
  EXPECT_TRUE(report.anyFailed());
  bool named = false;
  for (const auto& e : w.dialogs.entries(Kind::Message))
    named = named || e.message.text.find(export_text::kPluginNotLoadable) != std::string::npos;
  EXPECT_TRUE(named);
}

}  // namespace
}  // namespace glyphmill
