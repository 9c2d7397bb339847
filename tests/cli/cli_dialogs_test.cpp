// The command line's answers to questions and save prompts, and how messages are printed.
#include "cli/cli_dialogs.h"

#include <gtest/gtest.h>

#include <sstream>

#include "export/export_messages.h"
#include "export/export_prompt.h"

namespace glyphmill::cli {
namespace {

SaveFileRequest RequestWithExtension(const std::string& name, const std::string& ext) {
  SaveFileRequest r;
  r.title = "Export to: " + name;
  r.filter = name + " (*." + ext + ")|*." + ext;
  r.filterCaption = name + " (*." + ext + ")";
  r.filterPattern = "*." + ext;
  return r;
}

SaveFileRequest RequestWithoutExtension() {
  SaveFileRequest r;
  r.title = "Export to: Raw";
  r.filter = "All Files|*.*";
  r.filterCaption = "All Files";
  r.filterPattern = "*.*";
  return r;
}

struct Fixture {
  std::ostringstream err;
  Console console{err, false, false};
};

TEST(CliDialogs, TheFitWarningIsAnsweredByForce) {
  Fixture f;
  const DialogMessage warning{export_text::kFitWarningCaption, export_text::FitWarning(), DialogIcon::Warning,
                              DialogOwner::MainWindow};
  CliDialogs strict(f.console, false);
  EXPECT_FALSE(strict.askYesNo(warning));
  EXPECT_TRUE(strict.fitDeclined());
  CliDialogs forced(f.console, true);
  EXPECT_TRUE(forced.askYesNo(warning));
  EXPECT_FALSE(forced.fitDeclined());
}

TEST(CliDialogs, AbortIsAnsweredNoSoTheRestRuns) {
  Fixture f;
  CliDialogs d(f.console, true);
  EXPECT_FALSE(d.askYesNo(
      {export_text::kAbortCaption, export_text::kAbortQuestion, DialogIcon::Information, DialogOwner::None}));
  EXPECT_EQ(d.failedBatchJobs(), 1);
}

TEST(CliDialogs, MessagesArePrintedWithLineBreaksAndErrorsCounted) {
  Fixture f;
  CliDialogs d(f.console, false);
  d.showMessage({"File Error", "first\rsecond", DialogIcon::Error, DialogOwner::MainWindow});
  d.showMessage({"No Plugins!", "none", DialogIcon::Warning, DialogOwner::None});
  EXPECT_EQ(f.err.str(), "File Error: first\nsecond\nNo Plugins!: none\n");
  EXPECT_EQ(d.errorMessages(), 1);
}

TEST(CliDialogs, QuietKeepsOnlyErrors) {
  std::ostringstream err;
  Console console(err, true, true);
  CliDialogs d(console, false);
  d.showMessage({"Info", "hello", DialogIcon::Information, DialogOwner::None});
  d.showMessage({"Plugin Error", "bad", DialogIcon::Error, DialogOwner::None});
  console.showProgress(10);  // no bar when quiet, even on a terminal
  console.setProgress(5);
  EXPECT_EQ(err.str(), "Plugin Error: bad\n");
}

TEST(CliDialogs, TheAnswerGetsThePluginsExtensionAsTheExportRunForcesIt) {
  Fixture f;
  CliDialogs d(f.console, false);
  d.setOutput("out/font.txt");
  const SaveFileRequest fnt = RequestWithExtension("BMFont text", "fnt");
  const std::string answer = d.promptSaveFile(fnt);
  EXPECT_EQ(answer, "out/font.fnt");
  EXPECT_EQ(ForceExtension(answer, "fnt"), answer);  // what the export run makes of it
  EXPECT_EQ(CliDialogs::ForcedPath(RequestWithoutExtension(), "out/font.txt"), "out/font.txt");
}

TEST(CliDialogs, LaterExportsToTheSamePathAreNumbered) {
  Fixture f;
  CliDialogs d(f.console, false);
  d.setOutput("font");
  EXPECT_EQ(d.promptSaveFile(RequestWithExtension("BMFont text", "fnt")), "font.fnt");
  EXPECT_EQ(d.promptSaveFile(RequestWithExtension("PNG image", "png")), "font.png");
  EXPECT_EQ(d.promptSaveFile(RequestWithExtension("BMFont text", "fnt")), "font-2.fnt");
  EXPECT_EQ(d.promptSaveFile(RequestWithExtension("BMFont XML", "fnt")), "font-3.fnt");
  EXPECT_EQ(d.promptSaveFile(RequestWithoutExtension()), "font");
  EXPECT_EQ(d.promptSaveFile(RequestWithoutExtension()), "font-2");
}

TEST(CliDialogs, NumbersGoBeforeTheFileNamesExtensionOnly) {
  EXPECT_EQ(CliDialogs::NumberedPath("a.b/font", 2), "a.b/font-2");
  EXPECT_EQ(CliDialogs::NumberedPath("a.b/font.tar.gz", 3), "a.b/font.tar-3.gz");
  EXPECT_EQ(CliDialogs::NumberedPath("/x/.hidden", 2), "/x/.hidden-2");
}

}  // namespace
}  // namespace glyphmill::cli
