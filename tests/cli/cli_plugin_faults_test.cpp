// glyphmill-cli with misbehaving plug-ins, run as a separate process: start-up survives faulty
// libraries, a failing export (one that ends its process, or reports its failure through the host's
// service) gives exit status 4 after the next export ran, plug-in output never
// reaches standard output, and names are printed with their control characters escaped.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace glyphmill {
namespace {

namespace fs = std::filesystem;

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class CliPluginFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "glyphmill-faults-XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data());
    fs::create_directory(file("plugins"));
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string file(const std::string& name) const { return dir_ + "/" + name; }

  // Puts a fault plug-in (or, with `shipped`, a shipped exporter) into the run's plug-ins folder.
  void Install(const std::string& stem, bool shipped = false) {
    const std::string from =
        std::string(shipped ? GLYPHMILL_PLUGIN_DIR : GLYPHMILL_FAULT_PLUGIN_DIR) + "/" + stem + ".so";
    fs::copy_file(from, file("plugins/" + stem + ".so"));
  }

  // Runs the program in the scratch folder (where plug-ins without a file name write their report).
  Result Run(const std::vector<std::string>& args) {
    std::string command = "cd " + Quote(dir_) + " && ";
    if (const char* lsan = std::getenv("LSAN_OPTIONS"))
      command += "LSAN_OPTIONS=" + Quote(std::string(lsan) + ":print_suppressions=0") + " ";
    command += Quote(GLYPHMILL_CLI_PATH);
    for (const std::string& a : args) command += " " + Quote(a);
    command += " >" + Quote(file("stdout")) + " 2>" + Quote(file("stderr")) + " </dev/null";
    const int raw = std::system(command.c_str());
    Result r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadAll(file("stdout"));
    r.err = ReadAll(file("stderr"));
    return r;
  }

  static std::vector<std::string> SmallFont(std::vector<std::string> more) {
    std::vector<std::string> a{"--font", "DejaVu Sans", "--size", "10", "--chars", "65-90", "--texture", "128x128"};
    a.insert(a.end(), more.begin(), more.end());
    return a;
  }

  std::string dir_;
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
