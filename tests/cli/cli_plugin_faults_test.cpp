// glyphmill-cli with misbehaving plug-ins, run as a separate process: start-up survives faulty
// libraries, a failing export (one that ends its process, or reports its failure through the host's
// service) gives exit status 4 after the next export ran, plug-in output never
// reaches standard output, and names are printed with their control characters escaped.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>
#include <vector>

#include "child_process.h"
#include "scratch_folder.h"

namespace glyphmill {
namespace {

namespace fs = std::filesystem;

using Result = testing::ProcessResult;
using testing::ReadAll;

class CliPluginFaults : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directory(file("plugins")); }

  std::string file(const std::string& name) const { return scratch_.file(name); }

  // Puts a fault plug-in (or, with `shipped`, a shipped exporter) into the run's plug-ins folder.
  void Install(const std::string& stem, bool shipped = false) {
    const std::string from =
        std::string(shipped ? GLYPHMILL_PLUGIN_DIR : GLYPHMILL_FAULT_PLUGIN_DIR) + "/" + stem + ".so";
    fs::copy_file(from, file("plugins/" + stem + ".so"));
  }

  // Runs the program in the scratch folder (where plug-ins without a file name write their report).
  Result Run(const std::vector<std::string>& args) { return testing::RunProgram(GLYPHMILL_CLI_PATH, args, dir_, dir_); }

  static std::vector<std::string> SmallFont(std::vector<std::string> more) {
    std::vector<std::string> a{"--font", "DejaVu Sans", "--size", "10", "--chars", "65-90", "--texture", "128x128"};
    a.insert(a.end(), more.begin(), more.end());
    return a;
  }

  testing::ScratchFolder scratch_{"faults"};
  std::string dir_ = scratch_.path().string();
};

TEST_F(CliPluginFaults, ConstructorsThatCrashOrExitAreSkippedAtStartUp) {
  Install("ctor_crash");
  Install("ctor_exit");
  Install("bmfont_text", true);
  const Result r = Run({"--list-plugins"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "0\tBMFont Text\t1\tfnt\tplugins\n");
  EXPECT_EQ(r.err.find("Constructor"), std::string::npos) << r.err;  // skipped without a word

  const Result e = Run(SmallFont({"-e", "BMFont Text", "-o", "font"}));
  EXPECT_EQ(e.status, 0) << e.err;
  EXPECT_TRUE(fs::exists(file("font.fnt")));
}

TEST_F(CliPluginFaults, ASlowConstructorIsSkippedWithinThePluginTimeout) {
  Install("ctor_slow");
  Install("bmfont_text", true);
  const Result r = Run({"--plugin-timeout", "1", "--list-plugins"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "0\tBMFont Text\t1\tfnt\tplugins\n");
  const Result bad = Run({"--plugin-timeout", "0", "--list-plugins"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("plug-in time-out"), std::string::npos) << bad.err;
}

TEST_F(CliPluginFaults, ExitInGetPluginInfoIsReportedAndTheOthersLoad) {
  Install("info_exit");
  Install("bmfont_text", true);
  const Result r = Run({"--list-plugins"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "0\tBMFont Text\t1\tfnt\tplugins\n");
  EXPECT_NE(r.err.find("Plugin Load Error: Failed to load plugin: plugins/info_exit.so\n\n"
                       "The plugin ended its process with exit status 3."),
            std::string::npos)
      << r.err;
}

TEST_F(CliPluginFaults, ExitInAnExportExitsWithFourAfterTheNextExportRan) {
  Install("export_exit");
  Install("bmfont_text", true);
  const Result r = Run(SmallFont({"-e", "Quitter", "-e", "BMFont Text", "-o", "font"}));
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_NE(r.err.find("There was an error while executing the simple export function of the Quitter plugin.\n"
                       "The error was:\nThe plugin ended its process with exit status 3."),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(fs::exists(file("font.fnt")));
  EXPECT_TRUE(fs::exists(file("font_0.png")));
}

TEST_F(CliPluginFaults, AFailureAPluginInCReportsExitsWithFourAfterTheNextExportRan) {
  Install("report_once");
  Install("bmfont_text", true);
  const Result r = Run(SmallFont({"-e", "C Reporter", "-e", "BMFont Text", "-o", "font"}));
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_NE(r.err.find("There was an error while executing the simple export function of the C Reporter plugin.\n"
                       "The error was:\nthe glyph table is on fire"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.out.find("on fire"), std::string::npos) << r.out;
  EXPECT_TRUE(fs::exists(file("font.fnt")));
  EXPECT_TRUE(fs::exists(file("font_0.png")));
}

TEST_F(CliPluginFaults, AReportedMessageIsPrintedWithItsControlCharactersEscaped) {
  Install("report_huge");
  const Result r = Run(SmallFont({"-e", "C Rambler"}));
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err.substr(0, 400);
  EXPECT_NE(r.err.find("bad \xEF\xBF\xBD\xEF\xBF\xBD bytes \\x1B[2J end"), std::string::npos) << r.err.substr(0, 400);
  EXPECT_LT(r.err.size(), 8000u);  // bounded, not the plug-in's 100,000 bytes
}

TEST_F(CliPluginFaults, AShippedPluginReportsItsFailureWithTheReason) {
  Install("bmfont_text", true);
  fs::create_directory(file("font.fnt"));  // the descriptor cannot replace a folder
  const Result r = Run(SmallFont({"-e", "BMFont Text", "-o", "font"}));
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_NE(r.err.find("of the BMFont Text plugin.\nThe error was:\nCannot write \"font.fnt\": Is a directory"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(fs::exists(file("font_0.png")));  // the page is not left behind without its descriptor
}

TEST_F(CliPluginFaults, AProcessThePluginLeavesBehindDoesNotMakeTheCallTimeOut) {
  Install("grandchild");
  const Result r = Run(SmallFont({"--plugin-timeout", "5", "-e", "Leaves A Child"}));
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string report = ReadAll(file("grandchild.report"));
  const std::size_t at = report.find("grandchild=");
  ASSERT_NE(at, std::string::npos) << report;
  ::kill(static_cast<pid_t>(std::stol(report.substr(at + 11))), SIGKILL);
}

TEST_F(CliPluginFaults, PluginOutputGoesToStandardErrorNeverToStandardOutput) {
  Install("stdout_writer");
  Install("bmfont_text", true);
  const Result list = Run({"--list-plugins"});
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(list.out, "0\tBMFont Text\t1\tfnt\tplugins\n1\tTalker\t1\t\tplugins\n");
  EXPECT_NE(list.err.find("info says hello"), std::string::npos) << list.err;

  const Result e = Run(SmallFont({"-e", "Talker"}));
  EXPECT_EQ(e.status, 0) << e.err;
  EXPECT_EQ(e.out, "");
  EXPECT_NE(e.err.find("export says hello"), std::string::npos) << e.err;  // printed without a flush
}

TEST_F(CliPluginFaults, StateSetInGetPluginInfoReachesTheExports) {
  Install("simple_quiet");
  const Result r = Run(SmallFont({"-e", "Quiet Simple", "-e", "Quiet Simple"}));
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string report = ReadAll(file("simple_quiet.report"));
  EXPECT_NE(report.find("info_calls=1\nexport_calls=2\n"), std::string::npos) << report;
}

TEST_F(CliPluginFaults, ControlCharactersInNamesAreEscaped) {
  Install("control_name");
  const Result r = Run({"--list-plugins"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "0\tRed\\x1B[31m Name\\x07\t1\t\tplugins\n");
  const Result e = Run(SmallFont({"-e", "Red\x1b[31m Name\x07", "-e", "Nobody\x1b[2J"}));
  EXPECT_EQ(e.status, 1);
  EXPECT_EQ(e.err.find('\x1b'), std::string::npos) << e.err;
  EXPECT_NE(e.err.find("Nobody\\x1B[2J"), std::string::npos) << e.err;
}

}  // namespace
}  // namespace glyphmill
