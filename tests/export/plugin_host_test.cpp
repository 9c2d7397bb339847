// The plug-in host as a process of its own: libraries are loaded and called there and never in
// the program, a host that a library ends is started again with the kept libraries, and a call
// ends with its reply.
#include "export/plugin_host_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "export/export_messages.h"
#include "export_test_support.h"

using namespace std::chrono_literals;

namespace glyphmill {
namespace {

using testing_support::Plugin;
using testing_support::PluginFolder;
using testing_support::ReadReport;
using testing_support::Report;

std::string OwnMaps() {
  std::ifstream in("/proc/self/maps");
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

HostExportCall SimpleCall(std::string_view fileName) {
  HostExportCall call;
  call.entry = host_protocol::Entry::Simple;
  call.fileName = fileName;
  call.passRgb = call.passAlpha = true;
  return call;
}

TEST(PluginHost, LibrariesRunInTheHostAndNeverInTheProgram) {
  PluginFolder folder({Plugin("load_recorder")});
  PluginHostProcess host;
  const HostLoad loaded = host.load("plugins/load_recorder.so", 20s);
  ASSERT_EQ(loaded.outcome, HostLoad::Outcome::Loaded);
  EXPECT_TRUE(loaded.entries & host_protocol::kHasGetPluginInfo);
  EXPECT_TRUE(loaded.entries & host_protocol::kHasSimpleExport);
  EXPECT_FALSE(loaded.entries & host_protocol::kHasDataExport);
  EXPECT_EQ(loaded.info.PluginType, ptSimple);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(loaded.info.Name + 1), loaded.info.Name[0]), "Load Recorder");

  const Report load = ReadReport("load_recorder.load");
  ASSERT_TRUE(load.exists);
  EXPECT_EQ(load.get("pid"), std::to_string(host.pid()));
  EXPECT_NE(load.get("pid"), std::to_string(::getpid()));
  const std::string exe = load.get("exe");
  EXPECT_EQ(exe.substr(exe.rfind('/') + 1), "glyphmill-plugin-host");

  const std::vector<uint8_t> rgb(4 * 2 * 3, 9), alpha(4 * 2, 200);
  const Result<StagedExport> stagedRun = host.stage(rgb, alpha, {});
  ASSERT_TRUE(stagedRun) << stagedRun.error();
  const StagedExport staged = *stagedRun;
  HostExportCall call = SimpleCall("");
  call.width = 4;
  call.height = 2;
  const HostCall result = host.callExport(loaded.slot, call, staged, 20s);
  EXPECT_TRUE(result.ok) << result.failure;
  const Report report = ReadReport("load_recorder.report");
  EXPECT_EQ(report.get("pid"), std::to_string(host.pid()));
  EXPECT_EQ(report.get("rgb_first"), "9 9 9");
  EXPECT_EQ(report.get("alpha_first"), "200");
  EXPECT_EQ(report.get("host"), "null");  // no font information staged

  // Only one load of the library happened, and not here.
  EXPECT_EQ(OwnMaps().find("load_recorder.so"), std::string::npos);
}

TEST(PluginHost, ConstructorFaultsMakeALibraryUnloadableAndTheHostComesBack) {
  PluginFolder folder({Plugin("simple_quiet"), Plugin("ctor_crash"), Plugin("ctor_exit"), Plugin("ctor_slow")});
  PluginHostProcess host;
  const HostLoad quiet = host.load("plugins/simple_quiet.so", 20s);
  ASSERT_EQ(quiet.outcome, HostLoad::Outcome::Loaded);
  const pid_t first = host.pid();
  for (const char* path : {"plugins/ctor_crash.so", "plugins/ctor_exit.so"}) {
    const HostLoad r = host.load(path, 20s);
    EXPECT_EQ(r.outcome, HostLoad::Outcome::NotLoadable) << path;
  }
  EXPECT_EQ(host.load("plugins/ctor_slow.so", 300ms).outcome, HostLoad::Outcome::NotLoadable);
  EXPECT_EQ(host.load("plugins/missing.so", 20s).outcome, HostLoad::Outcome::NotLoadable);

  // The kept library was loaded again into each new host and still answers.
  const Result<StagedExport> stagedRun = host.stage({}, {}, {});
  ASSERT_TRUE(stagedRun) << stagedRun.error();
  const StagedExport staged = *stagedRun;
  const HostCall result = host.callExport(quiet.slot, SimpleCall(""), staged, 20s);
  EXPECT_TRUE(result.ok) << result.failure;
  EXPECT_NE(host.pid(), first);
  EXPECT_EQ(host.starts(), 4);  // the first host, and one after each constructor that ended one
  const Report report = ReadReport("simple_quiet.report");
  EXPECT_EQ(report.get("pid"), std::to_string(host.pid()));
  EXPECT_EQ(report.get("info_calls"), "1");  // GetPluginInfo ran again in the new host
}

TEST(PluginHost, AProcessLeftBehindWithTheChannelDoesNotHoldTheCall) {
  PluginFolder folder({Plugin("grandchild")});
  PluginHostProcess host;
  const HostLoad loaded = host.load("plugins/grandchild.so", 20s);
  ASSERT_EQ(loaded.outcome, HostLoad::Outcome::Loaded);
  const Result<StagedExport> stagedRun = host.stage({}, {}, {});
  ASSERT_TRUE(stagedRun) << stagedRun.error();
  const StagedExport staged = *stagedRun;
  // The process it starts lives for 20 s with every descriptor of the host: a call that waited for
  // the channel to close would run into this limit.
  const HostCall result = host.callExport(loaded.slot, SimpleCall(""), staged, 5s);
  EXPECT_TRUE(result.ok) << result.failure;
  const Report report = ReadReport("grandchild.report");
  ASSERT_TRUE(report.exists);
  const pid_t child = static_cast<pid_t>(std::stol(report.get("grandchild")));
  EXPECT_GT(child, 0);
  // A second call in the same host still works and sees the first one's state.
  EXPECT_TRUE(host.callExport(loaded.slot, SimpleCall(""), staged, 5s).ok);
  EXPECT_EQ(ReadReport("grandchild.report").get("export_calls"), "2");
  ::kill(child, SIGKILL);
  const pid_t second = static_cast<pid_t>(std::stol(ReadReport("grandchild.report").get("grandchild")));
  ::kill(second, SIGKILL);
}

TEST(PluginHost, AHostThatCannotBeStartedIsAFailureWithItsReason) {
  PluginFolder folder({Plugin("simple_quiet")});
  PluginHostProcess host;
  host.setExecutable("/nonexistent/glyphmill-plugin-host");
  const HostLoad r = host.load("plugins/simple_quiet.so", 20s);
  EXPECT_EQ(r.outcome, HostLoad::Outcome::Failed);
  EXPECT_EQ(r.failure.rfind("The plugin could not be called in a separate process: /nonexistent/", 0), 0u) << r.failure;
}

TEST(PluginHost, AnUnloadedOrLostSlotIsRefused) {
  PluginFolder folder({Plugin("simple_quiet")});
  PluginHostProcess host;
  const HostLoad r = host.load("plugins/simple_quiet.so", 20s);
  ASSERT_EQ(r.outcome, HostLoad::Outcome::Loaded);
  host.unload(r.slot);
  const Result<StagedExport> stagedRun = host.stage({}, {}, {});
  ASSERT_TRUE(stagedRun) << stagedRun.error();
  const StagedExport staged = *stagedRun;
  const HostCall call = host.callExport(r.slot, SimpleCall(""), staged, 20s);
  EXPECT_FALSE(call.ok);
  EXPECT_EQ(call.failure, export_text::PluginHostRefused("no library is loaded in this slot"));
}

}  // namespace
}  // namespace glyphmill
