// What a misbehaving plug-in does to a whole export run: every failure is reported with the
// plug-in's name and what happened to its process, the run's results say so as values, the host is
// started again, and the next export of the same run still runs. Also: state a plug-in keeps
// within one host, and the buffers the plug-in type decides on.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>

#include "export/export_messages.h"
#include "export/export_run.h"
#include "export/job_queue.h"
#include "export_test_support.h"

using namespace std::chrono_literals;

namespace glyphmill {
namespace {

using testing_support::ExportWorld;
using testing_support::Plugin;
using testing_support::PluginFolder;
using testing_support::ReadReport;
using testing_support::Report;
using Kind = ScriptedDialogs::Kind;
using Status = ExportResult::Status;

const std::string kCr = "\r";

struct Batch {
  ExportWorld& w;
  void queue(const char* name) { ASSERT_TRUE(AppendJob(w.jobs, w.registry, w.indexOf(name))) << name; }
  ExportReport run(int32_t index = -1) {
    ExportContext ctx = w.context();
    return RunExport(ctx, index);
  }
};

std::vector<Status> Statuses(const ExportReport& r) {
  std::vector<Status> s;
  for (const ExportResult& e : r.results) s.push_back(e.status);
  return s;
}

TEST(ExportFaults, ConstructorFaultsAtStartUpAreSkippedSilently) {
  PluginFolder folder({Plugin("ctor_crash"), Plugin("ctor_exit"), Plugin("ctor_slow"), Plugin("simple_quiet")});
  ExportWorld w;
  w.registry.setCallLimits({1s, 20s});
  w.registry.Discover(w.dialogs, w.jobs);
  EXPECT_TRUE(w.dialogs.log().empty());
  ASSERT_EQ(w.registry.size(), 1u);
  EXPECT_EQ(w.registry.at(0).Name, "Quiet Simple");
  const ExportReport r = Batch{w}.run(0);
  EXPECT_EQ(Statuses(r), std::vector<Status>{Status::Ran});
  EXPECT_TRUE(ReadReport("simple_quiet.report").exists);
}

TEST(ExportFaults, ExitInGetPluginInfoIsALoadErrorNamingTheExitStatus) {
  PluginFolder folder({Plugin("info_exit"), Plugin("simple_quiet")});
  ExportWorld w;
  w.registry.Discover(w.dialogs, w.jobs);
  const auto msgs = w.dialogs.entries(Kind::Message);
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(msgs[0].message.caption, "Plugin Load Error");
  EXPECT_EQ(msgs[0].message.text, "Failed to load plugin: plugins/info_exit.so" + kCr + kCr +
                                      "The plugin ended its process with exit status 3.");
  ASSERT_EQ(w.registry.size(), 1u);
  w.dialogs.clearLog();
  EXPECT_EQ(Statuses(Batch{w}.run(0)), std::vector<Status>{Status::Ran});
  EXPECT_TRUE(w.dialogs.log().empty());
}

TEST(ExportFaults, ExitInEachExportEntryIsReportedAndTheNextJobRuns) {
  PluginFolder folder({Plugin("export_exit"), Plugin("graphic_exit"), Plugin("data_exit"), Plugin("simple_quiet")});
  ExportWorld w;
  w.discover();
  ASSERT_EQ(w.registry.size(), 4u);
  Batch r{w};
  for (const char* name :
       {"Quitter", "Quiet Simple", "Graphic Quitter", "Quiet Simple", "Data Quitter", "Quiet Simple"})
    r.queue(name);
  const ExportReport report = r.run();
  EXPECT_EQ(report.outcome, ExportOutcome::Ran);
  EXPECT_EQ(Statuses(report), (std::vector<Status>{Status::Failed, Status::Ran, Status::Failed, Status::Ran,
                                                   Status::Failed, Status::Ran}));
  EXPECT_TRUE(report.anyFailed());
  const std::string exited = "The plugin ended its process with exit status 3.";
  const auto msgs = w.dialogs.entries(Kind::Message);
  ASSERT_EQ(msgs.size(), 3u);
  EXPECT_EQ(msgs[0].message.text,
            "There was an error while executing the simple export function of the Quitter plugin." + kCr +
                "The error was:" + kCr + exited);
  EXPECT_EQ(msgs[1].message.text,
            "There was an error while executing the graphic export function of the Graphic Quitter plugin." + kCr +
                "The error was:" + kCr + exited);
  EXPECT_EQ(msgs[2].message.text,
            "There was an error while executing the data export function of the Data Quitter plugin." + kCr +
                "The error was:" + kCr + exited);
  EXPECT_EQ(report.results[0].message, exited);
  EXPECT_EQ(report.results[0].pluginName, "Quitter");
  EXPECT_EQ(report.results[0].pluginIndex, w.indexOf("Quitter"));
  EXPECT_EQ(w.dialogs.entries(Kind::Question).size(), 3u);  // "Abort?" after each, answered No
  // Each failure ended a host: the last export ran in the fourth, loaded again in registry order.
  EXPECT_EQ(w.registry.host().starts(), 4);
  const Report last = ReadReport("simple_quiet.report");
  EXPECT_EQ(last.get("pid"), std::to_string(w.registry.host().pid()));
  EXPECT_EQ(last.get("export_calls"), "1");
  EXPECT_EQ(w.registry.at(static_cast<std::size_t>(w.indexOf("Quiet Simple"))).Name, "Quiet Simple");
}

TEST(ExportFaults, ACrashRestartsTheHostForTheNextExportOfTheRun) {
  PluginFolder folder({Plugin("export_crash"), Plugin("simple_quiet")});
  ExportWorld w;
  w.discover();
  Batch r{w};
  r.queue("Crasher");
  r.queue("Quiet Simple");
  const ExportReport report = r.run();
  EXPECT_EQ(Statuses(report), (std::vector<Status>{Status::Failed, Status::Ran}));
  EXPECT_EQ(report.results[0].message.rfind("The plugin crashed (signal 11", 0), 0u) << report.results[0].message;
  EXPECT_EQ(w.registry.host().starts(), 2);
  EXPECT_TRUE(ReadReport("simple_quiet.report").exists);
}

TEST(ExportFaults, AHangIsStoppedAtTheLimitAndTheNextExportRuns) {
  PluginFolder folder({Plugin("export_hang"), Plugin("simple_quiet")});
  ExportWorld w;
  w.registry.setCallLimits({20s, 1s});
  w.discover();
  Batch r{w};
  r.queue("Sleeper");
  r.queue("Quiet Simple");
  const ExportReport report = r.run();
  EXPECT_EQ(Statuses(report), (std::vector<Status>{Status::Failed, Status::Ran}));
  EXPECT_EQ(report.results[0].message, "The plugin did not return within 1 second and was stopped.");
}

TEST(ExportFaults, StateSetInGetPluginInfoIsKeptInTheExportsOfARun) {
  PluginFolder folder({Plugin("simple_quiet")});
  ExportWorld w;
  w.discover();
  Batch r{w};
  r.queue("Quiet Simple");
  const ExportReport first = r.run();
  const Report one = ReadReport("simple_quiet.report");
  EXPECT_EQ(one.get("info_calls"), "1");
  EXPECT_EQ(one.get("export_calls"), "1");
  r.queue("Quiet Simple");
  r.run();
  const Report two = ReadReport("simple_quiet.report");
  EXPECT_EQ(two.get("info_calls"), "1");
  EXPECT_EQ(two.get("export_calls"), "3");  // one in the first run, two in the second
  EXPECT_EQ(two.get("pid"), one.get("pid"));
  EXPECT_EQ(w.registry.host().starts(), 1);
}

TEST(ExportFaults, CancelledAndUnloadedJobsAreValuesToo) {
  PluginFolder folder({Plugin("simple_ok"), Plugin("simple_quiet")});
  ExportWorld w;
  w.discover();
  Batch r{w};
  r.queue("Test Simple");  // asks for a file: the scripted prompt cancels
  TExportJob stray;
  stray.PluginIndex = 42;
  w.jobs.push_back(stray);
  r.queue("Quiet Simple");
  const ExportReport report = r.run();
  ASSERT_EQ(report.results.size(), 3u);
  EXPECT_EQ(report.results[0].status, Status::Cancelled);
  EXPECT_EQ(report.results[1].status, Status::Failed);
  EXPECT_EQ(report.results[1].pluginIndex, 42);
  EXPECT_EQ(report.results[2].status, Status::Ran);
  EXPECT_TRUE(report.anyFailed());

  w.result.placedCount = 2;  // one character did not fit; the fallback answer is No
  const ExportReport declined = r.run();
  EXPECT_EQ(declined.outcome, ExportOutcome::Declined);
  EXPECT_TRUE(declined.results.empty());
}

TEST(TypeTable, BuffersFollowThePluginTypeWhateverTheJobSays) {
  struct Case {
    uint8_t type;
    bool colour, alpha;  // the job's options
    bool wantColour, wantAlpha;
  } cases[] = {
      {ptGraphicRGB, false, true, true, false},
      {ptGraphicRGB, false, false, true, false},
      {ptGraphicAlpha, true, false, false, true},
      {ptGraphicAlpha, true, true, false, true},
      {ptGraphicRGBAndAlpha, false, false, true, true},
      {ptGraphicRGBXorAlpha, true, true, true, false},
      {ptGraphicRGBXorAlpha, false, false, true, false},
      {ptGraphicRGBXorAlpha, false, true, false, true},
      {ptGraphicRGBOrAlpha, false, false, true, true},
      {ptGraphicRGBOrAlpha, false, true, false, true},
      {ptGraphicRGBOrAlpha, true, true, true, true},
      {0, true, true, false, false},
      {200, true, false, false, false},
  };
  for (const Case& c : cases) {
    const GraphicBuffers b = BuffersForType(c.type, c.colour, c.alpha);
    EXPECT_EQ(b.colour, c.wantColour) << int(c.type) << " " << c.colour << c.alpha;
    EXPECT_EQ(b.alpha, c.wantAlpha) << int(c.type) << " " << c.colour << c.alpha;
  }
}

TEST(TypeTable, HostileJobOptionsCannotTakeABufferAwayOrAddOne) {
  PluginFolder folder({Plugin("graphic_alpha"), Plugin("graphic_and"), Plugin("graphic_rgb")});
  ExportWorld w;
  w.discover();
  Batch r{w};
  // Options a project file could carry: the opposite of what each type allows.
  r.queue("Alpha Only");
  w.jobs.back().UseRGB = true;
  w.jobs.back().UseAlpha = false;
  r.queue("Both Images");
  w.jobs.back().UseRGB = w.jobs.back().UseAlpha = false;
  r.queue("Colour Only");
  w.jobs.back().UseRGB = false;
  w.jobs.back().UseAlpha = true;
  w.dialogs.queueSavePath("colour");
  const ExportReport report = r.run();
  EXPECT_EQ(Statuses(report), (std::vector<Status>{Status::Ran, Status::Ran, Status::Ran}));
  const Report alphaOnly = ReadReport("graphic_alpha.report");
  EXPECT_EQ(alphaOnly.get("rgb"), "null");
  EXPECT_NE(alphaOnly.get("alpha"), "null");
  const Report both = ReadReport("graphic_and.report");
  EXPECT_NE(both.get("rgb"), "null");
  EXPECT_NE(both.get("alpha"), "null");
  const Report colour = ReadReport("colour.bmp");
  EXPECT_NE(colour.get("rgb"), "null");
  EXPECT_EQ(colour.get("alpha"), "null");
  // The prompt's suffix follows the buffers the call really gets.
  const auto prompts = w.dialogs.entries(Kind::SaveFile);
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].request.title, "Export to: Colour Only (RGB)");
}

}  // namespace
}  // namespace glyphmill
