// A plug-in that fails by reporting through the host's failure service (glyphmill/host.h): the
// service as the host answers it (offered only during an export call, first message kept,
// messages bounded and made valid UTF-8), and plug-ins written in C reporting through it in a
// whole export run, where the failure reads and counts exactly like a thrown exception.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "export/export_messages.h"
#include "export/export_run.h"
#include "export/job_queue.h"
#include "export_test_support.h"
#include "host/host_query.h"
#include "host/reported_failure.h"

namespace glyphmill {
namespace {

using testing_support::ExportWorld;
using testing_support::Plugin;
using testing_support::PluginFolder;
using Kind = ScriptedDialogs::Kind;
using Status = ExportResult::Status;

const std::string kCr = "\r";
const std::string kReplacement = "\xEF\xBF\xBD";

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

const GlyphmillReportFailureV1* Service() {
  return static_cast<const GlyphmillReportFailureV1*>(glyphmill_host_query(GLYPHMILL_EXT_REPORT_FAILURE_V1));
}

// ---- the message as the host keeps it ----------------------------------------------------------

TEST(BoundedUtf8, KeepsWellFormedTextAsItIs) {
  EXPECT_EQ(BoundedUtf8("plain", 100), "plain");
  const std::string mixed = "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 line\nnext\x1b[31m";
  EXPECT_EQ(BoundedUtf8(mixed.c_str(), 100), mixed);
  EXPECT_EQ(BoundedUtf8(nullptr, 100), "");
  EXPECT_EQ(BoundedUtf8("", 100), "");
}

TEST(BoundedUtf8, ReplacesEachByteThatIsNotUtf8) {
  EXPECT_EQ(BoundedUtf8("a\xFF"
                        "b",
                        100),
            "a" + kReplacement + "b");
  // A lead byte without its continuation, a stray continuation, an overlong slash, a surrogate
  // and a value above U+10FFFF.
  EXPECT_EQ(BoundedUtf8("\xC3z", 100), kReplacement + "z");
  EXPECT_EQ(BoundedUtf8("\x80", 100), kReplacement);
  EXPECT_EQ(BoundedUtf8("\xC0\xAF", 100), kReplacement + kReplacement);
  EXPECT_EQ(BoundedUtf8("\xED\xA0\x80", 100), kReplacement + kReplacement + kReplacement);
  EXPECT_EQ(BoundedUtf8("\xF4\x90\x80\x80", 100), kReplacement + kReplacement + kReplacement + kReplacement);
  // A sequence cut short by the end of the text.
  EXPECT_EQ(BoundedUtf8("ok\xE2\x82", 100), "ok" + kReplacement + kReplacement);
}

TEST(BoundedUtf8, CutsBeforeACharacterThatWouldNotFitWhole) {
  EXPECT_EQ(BoundedUtf8("abcdef", 4), "abcd");
  EXPECT_EQ(BoundedUtf8("ab\xE2\x82\xAC", 4), "ab");  // the euro sign needs three bytes
  EXPECT_EQ(BoundedUtf8("ab\xE2\x82\xAC", 5), "ab\xE2\x82\xAC");
  EXPECT_EQ(BoundedUtf8("abc\xFF", 5), "abc");  // so does its replacement
  const std::string longText(1'000'000, 'y');
  EXPECT_EQ(BoundedUtf8(longText.c_str(), GLYPHMILL_REPORT_FAILURE_MAX_BYTES),
            std::string(GLYPHMILL_REPORT_FAILURE_MAX_BYTES, 'y'));
}

TEST(ReportedFailure, TheFirstReportFailsTheCallAndKeepsItsMessage) {
  ReportedFailure f;
  EXPECT_FALSE(f.reported());
  f.report("first");
  f.report("second");
  f.report(nullptr);
  EXPECT_TRUE(f.reported());
  EXPECT_EQ(f.message(), "first");

  ReportedFailure none;
  none.report(nullptr);
  none.report("later");
  EXPECT_TRUE(none.reported());
  EXPECT_EQ(none.message(), "");
}

// ---- the service as the host's query offers it --------------------------------------------------

TEST(FailureService, OfferedOnlyDuringAnExportCall) {
  EXPECT_EQ(Service(), nullptr);
  ReportedFailure failure;
  {
    const HostQueryScope scope(nullptr, &failure);
    const GlyphmillReportFailureV1* service = Service();
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(service->struct_size, sizeof(GlyphmillReportFailureV1));
    EXPECT_EQ(service->max_message_bytes, uint32_t{GLYPHMILL_REPORT_FAILURE_MAX_BYTES});
    ASSERT_NE(service->report_failure, nullptr);
    // No font information in this call, and none asked for by an unknown version.
    EXPECT_EQ(glyphmill_host_query(GLYPHMILL_EXT_FONT_INFO_V2), nullptr);
    EXPECT_EQ(glyphmill_host_query("glyphmill.report-failure/2"), nullptr);
  }
  EXPECT_EQ(Service(), nullptr);
  EXPECT_FALSE(failure.reported());
}

TEST(FailureService, AReportGoesToTheCallRunningNowAndIsDroppedOutsideOne) {
  ReportedFailure first;
  GlyphmillReportFailureProc kept = nullptr;
  {
    const HostQueryScope scope(nullptr, &first);
    kept = Service()->report_failure;
    kept("cannot write the page");
  }
  EXPECT_TRUE(first.reported());
  EXPECT_EQ(first.message(), "cannot write the page");

  kept("after the call");  // a pointer kept from an earlier call: nothing happens
  EXPECT_EQ(first.message(), "cannot write the page");

  ReportedFailure second;
  {
    const HostQueryScope scope(nullptr, &second);
    EXPECT_FALSE(second.reported());
  }
  EXPECT_FALSE(second.reported());
}

// ---- plug-ins written in C, through the registry and the export run ------------------------------

struct ExportedOnce {
  ExportReport report;
  std::vector<std::string> messages;
};

// Runs the simple plug-in `name` as a quick export.
ExportedOnce ExportWith(ExportWorld& w, const std::string& name) {
  w.dialogs.clearLog();
  ExportContext ctx = w.context();
  ExportedOnce r;
  r.report = RunExport(ctx, w.indexOf(name));
  for (const auto& e : w.dialogs.entries(Kind::Message)) r.messages.push_back(e.message.text);
  return r;
}

// Runs the plug-in `name` as the one job of a batch export.
ExportedOnce BatchWith(ExportWorld& w, const std::string& name) {
  w.dialogs.clearLog();
  w.jobs.clear();
  EXPECT_TRUE(AppendJob(w.jobs, w.registry, w.indexOf(name))) << name;
  ExportContext ctx = w.context();
  ExportedOnce r;
  r.report = RunExport(ctx, -1);
  for (const auto& e : w.dialogs.entries(Kind::Message)) r.messages.push_back(e.message.text);
  return r;
}

std::string Failed(const std::string& kind, const std::string& name, const std::string& message) {
  return "There was an error while executing the " + kind + " export function of the " + name + " plugin." + kCr +
         "The error was:" + kCr + message;
}

TEST(ReportedFailureRun, AReportedMessageIsShownLikeAThrownOneAndTheHostGoesOn) {
  PluginFolder folder({Plugin("report_once"), Plugin("export_throw"), Plugin("simple_quiet")});
  ExportWorld w;
  w.discover();
  ASSERT_EQ(w.registry.size(), 3u);

  const ExportedOnce reported = ExportWith(w, "C Reporter");
  EXPECT_EQ(ReadText("report_once.service"), "present\n");
  ASSERT_EQ(reported.report.results.size(), 1u);
  EXPECT_EQ(reported.report.results[0].status, Status::Failed);
  EXPECT_EQ(reported.report.results[0].message, "the glyph table is on fire");
  EXPECT_TRUE(reported.report.anyFailed());
  EXPECT_EQ(reported.messages, std::vector<std::string>{Failed("simple", "C Reporter", "the glyph table is on fire")});

  const ExportedOnce thrown = ExportWith(w, "Thrower");
  EXPECT_EQ(thrown.messages, std::vector<std::string>{Failed("simple", "Thrower", "disk on fire")});
  EXPECT_EQ(thrown.report.results[0].status, Status::Failed);

  // Reporting a failure ends nothing: the same host serves the next export.
  EXPECT_EQ(ExportWith(w, "Quiet Simple").report.results[0].status, Status::Ran);
  EXPECT_EQ(w.registry.host().starts(), 1);
}

TEST(ReportedFailureRun, TheFirstOfSeveralReportsIsKept) {
  PluginFolder folder({Plugin("report_twice")});
  ExportWorld w;
  w.discover();
  const ExportedOnce r = ExportWith(w, "C Twice");
  EXPECT_EQ(r.report.results[0].status, Status::Failed);
  EXPECT_EQ(r.messages, std::vector<std::string>{Failed("simple", "C Twice", "first problem")});
}

TEST(ReportedFailureRun, AFailureWithoutAMessageStillFailsWithTheProgramsOwnText) {
  PluginFolder folder({Plugin("report_null")});
  ExportWorld w;
  w.discover();
  const ExportedOnce r = ExportWith(w, "C Silent");
  EXPECT_EQ(r.report.results[0].status, Status::Failed);
  EXPECT_EQ(r.report.results[0].message, export_text::kPluginFailedWithoutReason);
  EXPECT_EQ(r.messages,
            std::vector<std::string>{Failed("simple", "C Silent", export_text::kPluginFailedWithoutReason)});
}

TEST(ReportedFailureRun, AHugeMessageArrivesBoundedAndAsUtf8) {
  PluginFolder folder({Plugin("report_huge")});
  ExportWorld w;
  w.discover();
  const ExportedOnce r = ExportWith(w, "C Rambler");
  const std::string start = "bad " + kReplacement + kReplacement + " bytes \x1b[2J end";
  const std::string expected = start + std::string(GLYPHMILL_REPORT_FAILURE_MAX_BYTES - start.size(), 'x');
  ASSERT_EQ(r.report.results.size(), 1u);
  EXPECT_EQ(r.report.results[0].status, Status::Failed);
  EXPECT_EQ(r.report.results[0].message, expected);
}

TEST(ReportedFailureRun, OutputWrittenBeforeAReportedFailureIsNotASuccess) {
  PluginFolder folder({Plugin("report_after_writing"), Plugin("report_nothing")});
  ExportWorld w;
  w.discover();
  const ExportedOnce failed = BatchWith(w, "C Writer");
  EXPECT_EQ(failed.report.results[0].status, Status::Failed);
  EXPECT_EQ(failed.messages,
            std::vector<std::string>{Failed("graphic", "C Writer", "written, but the descriptor is wrong")});
  // The host leaves the plug-in's files alone; it only refuses to call the export a success.
  EXPECT_EQ(ReadText("report_after_writing.out"), "complete output\n");

  const ExportedOnce fine = BatchWith(w, "C Fine");
  EXPECT_EQ(fine.report.results[0].status, Status::Ran);
  EXPECT_TRUE(fine.messages.empty());
  EXPECT_EQ(ReadText("report_nothing.out"), "complete output\n");
}

}  // namespace
}  // namespace glyphmill
