#include "export/export_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "export/job_queue.h"
#include "export_test_support.h"

using namespace std::chrono_literals;

namespace glyphmill {
namespace {

using testing_support::Checksum;
using testing_support::ExportWorld;
using testing_support::Plugin;
using testing_support::PluginFolder;
using testing_support::ReadReport;
using testing_support::Report;
using Kind = ScriptedDialogs::Kind;

const std::string kCr = "\r";

std::vector<std::string> Messages(const ScriptedDialogs& d) {
  std::vector<std::string> out;
  for (const auto& e : d.entries(Kind::Message)) out.push_back(e.message.text);
  return out;
}

TEST(QuickExport, FittingFontRunsOnePromptOneCallAndReportsComplete) {
  PluginFolder folder({Plugin("simple_ok")});
  ExportWorld w;
  w.discover();
  w.dialogs.queueSavePath("out.txt");
  ExportContext ctx = w.context();
  EXPECT_EQ(RunExport(ctx, 0).outcome, ExportOutcome::Ran);

  EXPECT_EQ(w.statuses, (std::vector<std::string>{"Exporting...", ".Export Complete!"}));
  const auto prompts = w.dialogs.entries(Kind::SaveFile);
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].request.title, "Export to: Test Simple");
  EXPECT_EQ(prompts[0].request.filter, "Test Simple (*.fnt)|*.fnt");
  EXPECT_TRUE(w.dialogs.entries(Kind::Question).empty());
  EXPECT_TRUE(w.dialogs.entries(Kind::Message).empty());

  EXPECT_EQ(w.registry.at(0).FileName, "out.fnt");
  Report r = ReadReport("out.fnt");
  ASSERT_TRUE(r.exists);
  EXPECT_EQ(r.get("entry"), "simple");
  EXPECT_EQ(r.get("file"), "out.fnt");
  EXPECT_EQ(r.get("width"), "64");
  EXPECT_EQ(r.get("height"), "32");
  EXPECT_EQ(r.get("space_advance"), "7");
  // The plug-in read the whole of both buffers, and they hold the texture and the mask.
  ASSERT_EQ(w.buffers.rgb.size(), 64u * 32u * 3u);
  EXPECT_EQ(r.get("rgb"), std::to_string(Checksum(w.buffers.rgb)));
  EXPECT_EQ(r.get("alpha"), std::to_string(Checksum(w.buffers.alpha)));
  EXPECT_EQ(w.buffers.alpha[5], w.result.mask.pixel(5, 0).b);
  EXPECT_EQ(r.get("char_count"), "3");
  EXPECT_EQ(r.all("char"), (std::vector<std::string>{"65 10 20 0 1 -1 9", "66 11 20 12 1 0 10", "67 12 20 24 1 1 11"}));
}

TEST(QuickExport, FontThatDoesNotFitAsksFirst) {
  PluginFolder folder({Plugin("simple_quiet")});
  ExportWorld w;
  w.discover();
  w.result.placedCount = 1;
  {
    ExportContext ctx = w.context();
    EXPECT_EQ(RunExport(ctx, 0).outcome, ExportOutcome::Declined);  // fallback answer: No
  }
  ASSERT_EQ(w.dialogs.log().size(), 1u);
  const DialogMessage& q = w.dialogs.log()[0].message;
  EXPECT_EQ(w.dialogs.log()[0].kind, Kind::Question);
  EXPECT_EQ(q.caption, "Warning");
  EXPECT_EQ(q.icon, DialogIcon::Warning);
  EXPECT_EQ(q.owner, DialogOwner::MainWindow);
  EXPECT_EQ(q.text, "Warning! the font doesnt fit properly in this texture size." + kCr + kCr +
                        "Are you sure sure you want to export anyway?");
  EXPECT_TRUE(w.statuses.empty());
  EXPECT_FALSE(std::filesystem::exists("simple_quiet.report"));

  w.dialogs.queueAnswer(true);
  ExportContext ctx = w.context();
  EXPECT_EQ(RunExport(ctx, 0).outcome, ExportOutcome::Ran);
  EXPECT_EQ(w.statuses.back(), ".Export Complete!");
  EXPECT_TRUE(ReadReport("simple_quiet.report").exists);
}

TEST(QuickExport, PluginWithoutFileNameGetsEmptyStringAndNoDialog) {
  PluginFolder folder({Plugin("simple_quiet")});
  ExportWorld w;
  w.discover();
  ExportContext ctx = w.context();
  RunExport(ctx, 0);
  EXPECT_TRUE(w.dialogs.log().empty());
  Report r = ReadReport("simple_quiet.report");
  ASSERT_TRUE(r.exists);
  EXPECT_EQ(r.get("file"), "");
}

TEST(QuickExport, NoCharactersGiveANullTable) {
  PluginFolder folder({Plugin("simple_quiet")});
  ExportWorld w;
  w.discover();
  w.result.chars.clear();
  w.selectedCount = 0;
  ExportContext ctx = w.context();
  RunExport(ctx, 0);
  Report r = ReadReport("simple_quiet.report");
  EXPECT_EQ(r.get("char_count"), "0");
  EXPECT_EQ(r.get("chars"), "null");
  EXPECT_NE(r.get("rgb"), "null");  // the buffers are never null for a simple exporter
}

TEST(QuickExport, CancelledPromptCallsNothingAndReportsNothing) {
  PluginFolder folder({Plugin("simple_ok")});
  ExportWorld w;
  w.discover();
  ExportContext ctx = w.context();
  RunExport(ctx, 0);  // fallback prompt answer: cancel
  EXPECT_EQ(w.registry.at(0).FileName, "CANCEL!");
  EXPECT_TRUE(w.dialogs.entries(Kind::Message).empty());
  EXPECT_FALSE(std::filesystem::exists("CANCEL!"));
  EXPECT_EQ(w.statuses.back(), ".Export Complete!");
}

TEST(QuickExport, FailingPluginsAreReportedWithTheirNameAndTheProgramCarriesOn) {
  PluginFolder folder({Plugin("export_crash"), Plugin("export_throw"), Plugin("export_exit"), Plugin("export_hang"),
                       Plugin("simple_quiet")});
  ExportWorld w;
  w.registry.setCallLimits({20s, 500ms});
  w.discover();
  const struct {
    const char* name;
    const char* messageStart;
  } cases[] = {{"Crasher", "The plugin crashed"},
               {"Thrower", "disk on fire"},
               {"Quitter", "The plugin ended its process with exit status 3."},
               {"Sleeper", "The plugin did not return within 1 second and was stopped."}};
  for (const auto& c : cases) {
    w.dialogs.clearLog();
    w.statuses.clear();
    ExportContext ctx = w.context();
    EXPECT_EQ(RunExport(ctx, w.indexOf(c.name)).outcome, ExportOutcome::Ran);
    const auto msgs = w.dialogs.entries(Kind::Message);
    ASSERT_EQ(msgs.size(), 1u) << c.name;
    EXPECT_EQ(msgs[0].message.caption, "Error");
    EXPECT_EQ(msgs[0].message.icon, DialogIcon::Error);
    const std::string head = std::string("There was an error while executing the simple export function of the ") +
                             c.name + " plugin." + kCr + "The error was:" + kCr + c.messageStart;
    EXPECT_EQ(msgs[0].message.text.rfind(head, 0), 0u) << msgs[0].message.text;
    EXPECT_EQ(w.statuses, (std::vector<std::string>{"Exporting...", ".Export Complete!"}));
  }
  // Still here, with the registry intact: the next export works.
  ExportContext ctx = w.context();
  RunExport(ctx, w.indexOf("Quiet Simple"));
  EXPECT_TRUE(ReadReport("simple_quiet.report").exists);
}

TEST(QuickExport, NonSimplePluginLacksTheSimpleEntry) {
  PluginFolder folder({Plugin("graphic_xor")});
  ExportWorld w;
  w.discover();
  w.dialogs.queueSavePath("pic");
  ExportContext ctx = w.context();
  RunExport(ctx, 0);
  EXPECT_EQ(Messages(w.dialogs),
            (std::vector<std::string>{
                "There was an error while executing the simple export function of the Either Image "
                "plugin." +
                kCr + "The error was:" + kCr + "the Simple Export function was not found in this DLL."}));
}

TEST(ExportRunSteps, UnusablePluginAndMismatchedBuffers) {
  PluginFolder folder({Plugin("simple_quiet")});
  ExportWorld w;
  w.discover();
  ExportContext ctx = w.context();
  ExportRun run(ctx);
  TExportPlugin broken;
  broken.Name = "Broken";
  EXPECT_FALSE(run.RunSimpleExport(broken));
  EXPECT_FALSE(run.RunPluginExport(broken, ExportCallForType(ptGraphicRGBAndAlpha, true, true)));
  EXPECT_FALSE(run.RunPluginExport(broken, ExportCallForType(ptData, false, false)));
  const auto msgs = Messages(w.dialogs);
  ASSERT_EQ(msgs.size(), 3u);
  EXPECT_EQ(msgs[0], "There was an error while executing the simple export function of the Broken plugin." + kCr +
                         "The error was:" + kCr + "The plugin is not usable!");
  EXPECT_EQ(msgs[1].rfind("There was an error while executing the graphic export function of the Broken", 0), 0u);
  EXPECT_EQ(msgs[2].rfind("There was an error while executing the data export function of the Broken", 0), 0u);

  // Buffers built from images of another size than the records announce are not handed over.
  w.dialogs.clearLog();
  w.settings.textureWidth = 128;
  run.buildBuffers();
  EXPECT_FALSE(run.RunSimpleExport(w.registry.at(0)));
  EXPECT_FALSE(ReadReport("simple_quiet.report").exists);
  ASSERT_EQ(Messages(w.dialogs).size(), 1u);
  EXPECT_NE(Messages(w.dialogs)[0].find("do not have the texture size"), std::string::npos);
}

TEST(ExportRunSteps, ThePluginTypeDecidesTheEntryAndTheBuffers) {
  using host_protocol::Entry;
  const auto is = [](const ExportCall& call, Entry entry, bool colour, bool alpha) {
    return call.entry == entry && call.buffers.colour == colour && call.buffers.alpha == alpha;
  };
  // Simple and data exports ignore a job's options: both buffers, or none.
  EXPECT_TRUE(is(ExportCallForType(ptSimple, false, false), Entry::Simple, true, true));
  EXPECT_TRUE(is(ExportCallForType(ptData, true, true), Entry::Data, false, false));
  // The graphic types get the buffers of BuffersForType.
  for (uint8_t type : {ptGraphicRGB, ptGraphicAlpha, ptGraphicRGBAndAlpha, ptGraphicRGBXorAlpha, ptGraphicRGBOrAlpha})
    for (bool colour : {false, true})
      for (bool alpha : {false, true}) {
        const GraphicBuffers buffers = BuffersForType(type, colour, alpha);
        EXPECT_TRUE(is(ExportCallForType(type, colour, alpha), Entry::Graphic, buffers.colour, buffers.alpha))
            << int(type) << colour << alpha;
      }
}

// ---- batch ------------------------------------------------------------------------------------

struct Batch : ::testing::Test {
  PluginFolder folder{{Plugin("simple_ok"), Plugin("graphic_or"), Plugin("graphic_xor"), Plugin("graphic_rgb"),
                       Plugin("graphic_alpha"), Plugin("graphic_and"), Plugin("data_ok"), Plugin("export_crash"),
                       Plugin("graphic_abort")}};
  ExportWorld w;
  void SetUp() override { w.discover(); }
  void queue(const char* name) { ASSERT_TRUE(AppendJob(w.jobs, w.registry, w.indexOf(name))) << name; }
  void run() {
    ExportContext ctx = w.context();
    RunExport(ctx, -1);
  }
  size_t questions() const { return w.dialogs.entries(Kind::Question).size(); }
};

TEST_F(Batch, EmptyQueueCallsNothing) {
  run();
  EXPECT_EQ(w.statuses, (std::vector<std::string>{"Exporting...", ".Export Complete!"}));
  EXPECT_TRUE(w.dialogs.log().empty());
}

TEST_F(Batch, GraphicJobsGetTheBuffersOfTheirOptions) {
  queue("Any Image");  // 7, both on
  queue("Any Image");
  ToggleJobColour(w.jobs.back(), ptGraphicRGBOrAlpha);  // only alpha
  queue("Colour Only");                                 // 3
  queue("Alpha Only");                                  // 4, no file name
  queue("Both Images");                                 // 6, no file name
  queue("Test Data");
  for (const char* path : {"both", "alpha", "colour.txt", "data.csv"}) w.dialogs.queueSavePath(path);
  run();
  EXPECT_TRUE(w.dialogs.entries(Kind::Message).empty());
  EXPECT_EQ(questions(), 0u);
  const auto prompts = w.dialogs.entries(Kind::SaveFile);
  ASSERT_EQ(prompts.size(), 4u);
  EXPECT_EQ(prompts[0].request.title, "Export to: Any Image");
  EXPECT_EQ(prompts[1].request.title, "Export to: Any Image (Alpha)");
  EXPECT_EQ(prompts[2].request.title, "Export to: Colour Only (RGB)");
  EXPECT_EQ(prompts[3].request.title, "Export to: Test Data");

  Report both = ReadReport("both");
  EXPECT_EQ(both.get("entry"), "graphic");
  EXPECT_EQ(both.get("rgb"), std::to_string(Checksum(w.buffers.rgb)));
  EXPECT_EQ(both.get("alpha"), std::to_string(Checksum(w.buffers.alpha)));
  Report alpha = ReadReport("alpha");
  EXPECT_EQ(alpha.get("rgb"), "null");
  EXPECT_EQ(alpha.get("alpha"), std::to_string(Checksum(w.buffers.alpha)));
  Report colour = ReadReport("colour.bmp");
  EXPECT_EQ(colour.get("alpha"), "null");
  EXPECT_NE(colour.get("rgb"), "null");
  EXPECT_EQ(ReadReport("graphic_alpha.report").get("rgb"), "null");
  Report andBoth = ReadReport("graphic_and.report");
  EXPECT_NE(andBoth.get("rgb"), "null");
  EXPECT_NE(andBoth.get("alpha"), "null");
  Report data = ReadReport("data.txt");
  EXPECT_EQ(data.get("entry"), "data");
  EXPECT_EQ(data.get("width"), "64");
  EXPECT_EQ(data.get("char_count"), "3");
  EXPECT_EQ(data.all("char").size(), 3u);
}

TEST_F(Batch, CancelledPromptGoesOnWithoutAQuestion) {
  queue("Test Simple");
  queue("Colour Only");
  queue("Test Data");
  w.dialogs.queueSavePath(kCancelMarker);
  w.dialogs.queueSavePath("second");
  w.dialogs.queueSavePath("third");
  run();
  EXPECT_EQ(questions(), 0u);
  EXPECT_TRUE(ReadReport("second.bmp").exists);
  EXPECT_TRUE(ReadReport("third.txt").exists);
}

TEST_F(Batch, FailingFirstOfThreeAsksAndYesStops) {
  queue("Crasher");
  queue("Alpha Only");
  queue("Both Images");
  w.dialogs.queueAnswer(true);
  run();
  const auto q = w.dialogs.entries(Kind::Question);
  ASSERT_EQ(q.size(), 1u);
  EXPECT_EQ(q[0].message.caption, "Abort?");
  EXPECT_EQ(q[0].message.text, "There were errors, do you want to halt rest of the export?");
  EXPECT_EQ(q[0].message.icon, DialogIcon::Information);
  EXPECT_EQ(q[0].message.owner, DialogOwner::None);
  EXPECT_EQ(w.dialogs.entries(Kind::Message).size(), 1u);  // the crash itself
  EXPECT_FALSE(ReadReport("graphic_alpha.report").exists);
  EXPECT_FALSE(ReadReport("graphic_and.report").exists);
  EXPECT_EQ(w.statuses.back(), ".Export Complete!");
}

TEST_F(Batch, NoGoesOnAndAFailingLastJobAsksNothing) {
  queue("Crasher");
  queue("Alpha Only");
  queue("Aborter");
  w.dialogs.queueAnswer(false);
  run();
  EXPECT_EQ(questions(), 1u);
  EXPECT_TRUE(ReadReport("graphic_alpha.report").exists);
  const auto msgs = Messages(w.dialogs);
  ASSERT_EQ(msgs.size(), 2u);
  EXPECT_EQ(msgs[1].rfind("There was an error while executing the graphic export function of the Aborter plugin.", 0),
            0u);
}

TEST_F(Batch, JobWithoutLoadedPluginFailsSilently) {
  TExportJob stray;
  stray.PluginIndex = 42;  // from a project saved with other plug-ins
  w.jobs.push_back(stray);
  queue("Alpha Only");
  run();
  EXPECT_TRUE(w.dialogs.entries(Kind::Message).empty());
  EXPECT_EQ(questions(), 1u);                              // it failed, and it was not the last job
  EXPECT_TRUE(ReadReport("graphic_alpha.report").exists);  // the answer No goes on
}

}  // namespace
}  // namespace glyphmill
