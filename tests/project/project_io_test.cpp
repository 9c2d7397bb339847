// Loading and saving project files on disk, with their notices, and the autosave.
#include "project/project_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "project/project_messages.h"
#include "project_test_util.h"
#include "tests/support/scripted_dialogs.h"

namespace glyphmill {
namespace {

using testing_util::SampleProject;
using testing_util::ScratchFolder;

struct Recorder {
  std::vector<std::string> texts;
  StatusCallback callback() {
    return [this](const std::string& t) { texts.push_back(t); };
  }
};

bool StartsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(ProjectExtension, TheChosenExtensionIsReplacedOrAdded) {
  EXPECT_EQ(ForceProjectExtension("font.txt"), "font.gmp");
  EXPECT_EQ(ForceProjectExtension("font"), "font.gmp");
  EXPECT_EQ(ForceProjectExtension("font.tar.gz"), "font.tar.gmp");
  EXPECT_EQ(ForceProjectExtension("/home/me/v1.2/font"), "/home/me/v1.2/font.gmp");
  EXPECT_EQ(ForceProjectExtension("font."), "font.gmp");
}

TEST(ProjectSave, EmptyAndTwoJobQueuesGiveTheDocumentedFileSizes) {
  ScratchFolder dir;
  Recorder status;
  ProjectData p = SampleProject();
  ASSERT_TRUE(SaveProjectFile(dir.file("two"), p.settings, p.selection, p.jobs, {}, status.callback()));
  EXPECT_EQ(std::filesystem::file_size(dir.file("two.gmp")), 66198u);
  p.jobs.clear();
  ASSERT_TRUE(SaveProjectFile(dir.file("none"), p.settings, p.selection, p.jobs, {}, status.callback()));
  EXPECT_EQ(std::filesystem::file_size(dir.file("none.gmp")), 65672u);
}

TEST(ProjectSave, ANameEndingInTxtWritesTheGmpFileAndSaysSo) {
  ScratchFolder dir;
  Recorder status;
  ProjectData p = SampleProject();
  const auto written = SaveProjectFile(dir.file("font.txt"), p.settings, p.selection, p.jobs, {}, status.callback());
  ASSERT_TRUE(written.has_value()) << written.error();
  EXPECT_EQ(*written, dir.file("font.gmp"));
  EXPECT_TRUE(std::filesystem::exists(dir.file("font.gmp")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("font.txt")));
  EXPECT_EQ(status.texts, std::vector<std::string>{".Project saved to " + dir.file("font.gmp") + " succesfully."});
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

TEST(ProjectSave, AnExistingFileIsReplacedWhole) {
  ScratchFolder dir;
  WriteBytes(dir.file("p.gmp"), std::vector<uint8_t>(200000, 0x11));
  Recorder status;
  ProjectData p = SampleProject();
  p.jobs.clear();
  ASSERT_TRUE(SaveProjectFile(dir.file("p.gmp"), p.settings, p.selection, p.jobs, {}, status.callback()));
  EXPECT_EQ(std::filesystem::file_size(dir.file("p.gmp")), 65672u);
}

TEST(ProjectSave, FailuresGiveAnErrorNoticeAndNoSuccess) {
  Recorder status;
  ProjectData p = SampleProject();
  const auto written =
      SaveProjectFile("/nonexistent-folder/x/p", p.settings, p.selection, p.jobs, {}, status.callback());
  ASSERT_FALSE(written.has_value());
  ASSERT_EQ(status.texts.size(), 1u);
  EXPECT_EQ(status.texts[0], "!Error while saving: " + written.error());
  EXPECT_NE(written.error().find("/nonexistent-folder/x/p.gmp"), std::string::npos) << written.error();
  EXPECT_NE(status.texts[0].find("/nonexistent-folder/x/p.gmp"), std::string::npos);
}

TEST(ProjectSave, ThePromptAsksForAGmpFileAndACancelGivesNoName) {
  ScriptedDialogs dialogs;
  EXPECT_FALSE(PromptProjectPath(dialogs).has_value());
  ASSERT_EQ(dialogs.log().size(), 1u);
  EXPECT_EQ(dialogs.log()[0].request.title, "Save Glyphmill Project");
  EXPECT_EQ(dialogs.log()[0].request.filter, "Glyphmill Project|*.gmp");

  dialogs.queueSavePath("/somewhere/chosen.txt");
  EXPECT_EQ(PromptProjectPath(dialogs), "/somewhere/chosen.txt");
}

TEST(ProjectLoad, ASavedProjectComesBackWithItsNoticeAndMatchedJobs) {
  ScratchFolder dir;
  Recorder status;
  ScriptedDialogs dialogs;
  ProjectData p = SampleProject();
  ASSERT_TRUE(SaveProjectFile(dir.file("p"), p.settings, p.selection, p.jobs, {"PNG image", "-", "BMFont text"},
                              status.callback()));
  status.texts.clear();
  const ProjectLoad load = LoadProjectFile(dir.file("p.gmp"), {"BMFont text", "PNG image"}, dialogs, status.callback());
  ASSERT_EQ(load.outcome, LoadOutcome::Loaded);
  ASSERT_TRUE(load.project.has_value());
  EXPECT_EQ(load.project->settings, p.settings);
  EXPECT_EQ(load.project->selection, p.selection);
  ASSERT_EQ(load.project->jobs.size(), 2u);
  EXPECT_EQ(load.project->jobs[0].PluginIndex, 1);
  EXPECT_EQ(load.project->jobs[1].PluginIndex, 0);
  EXPECT_EQ(status.texts, std::vector<std::string>{".Project Loaded Succesfully."});
  EXPECT_TRUE(dialogs.log().empty());
}

TEST(ProjectLoad, RefusedFilesShowAnErrorBoxAndNoNotice) {
  ScratchFolder dir;
  WriteBytes(dir.file("empty.gmp"), {});
  Recorder status;
  ScriptedDialogs dialogs;
  const ProjectLoad load = LoadProjectFile(dir.file("empty.gmp"), {}, dialogs, status.callback());
  EXPECT_EQ(load.outcome, LoadOutcome::Refused);
  EXPECT_FALSE(load.project.has_value());
  EXPECT_TRUE(status.texts.empty());
  ASSERT_EQ(dialogs.log().size(), 1u);
  const DialogMessage& box = dialogs.log()[0].message;
  EXPECT_EQ(box.caption, "File Error");
  EXPECT_EQ(box.icon, DialogIcon::Error);
  EXPECT_EQ(box.text, "This file does not contain any Glyphmill data. It cannot be loaded into the Glyphmill.");
}

TEST(ProjectLoad, MissingAndUnreadableFilesGiveTheLoadErrorNotice) {
  ScratchFolder dir;
  Recorder status;
  ScriptedDialogs dialogs;
  EXPECT_EQ(LoadProjectFile(dir.file("missing.gmp"), {}, dialogs, status.callback()).outcome, LoadOutcome::Failed);
  EXPECT_EQ(LoadProjectFile(dir.path(), {}, dialogs, status.callback()).outcome, LoadOutcome::Failed);  // a folder
  ASSERT_EQ(status.texts.size(), 2u);
  EXPECT_TRUE(StartsWith(status.texts[0], "!Error while loading project! ")) << status.texts[0];
  EXPECT_NE(status.texts[0].find("No such file"), std::string::npos) << status.texts[0];
  EXPECT_TRUE(StartsWith(status.texts[1], "!Error while loading project! ")) << status.texts[1];
  EXPECT_TRUE(dialogs.log().empty());
}

TEST(ProjectLoad, ARefusalShowsTheReadersTextInTheErrorBox) {
  ScratchFolder dir;
  WriteBytes(dir.file("wrong-size.gmp"), {0xF0, 0, 0, 0, 0x64, 0, 0, 0});
  Recorder status;
  ScriptedDialogs dialogs;
  EXPECT_EQ(LoadProjectFile(dir.file("wrong-size.gmp"), {}, dialogs, status.callback()).outcome, LoadOutcome::Refused);
  ASSERT_EQ(dialogs.log().size(), 1u);
  EXPECT_EQ(dialogs.log()[0].message.text, project_text::RecordSizeMismatch(100));
  EXPECT_TRUE(status.texts.empty());
}

TEST(Autosave, WrittenAndLoadedAgainWithTheUsualNotices) {
  ScratchFolder dir;
  Recorder status;
  ScriptedDialogs dialogs;
  const std::string path = dir.file("Autosave.gmp");
  EXPECT_EQ(LoadAutosave(path, {}, dialogs, status.callback()).outcome, LoadOutcome::Absent);
  EXPECT_TRUE(status.texts.empty());

  ProjectData p = SampleProject();
  const Result<void> written = WriteAutosave(path, p.settings, p.selection, p.jobs, {});
  ASSERT_TRUE(written) << written.error();
  EXPECT_TRUE(status.texts.empty());  // the autosave says nothing
  const ProjectLoad load = LoadAutosave(path, {}, dialogs, status.callback());
  ASSERT_EQ(load.outcome, LoadOutcome::Loaded);
  EXPECT_EQ(load.project->settings, p.settings);
  EXPECT_EQ(status.texts, std::vector<std::string>{".Project Loaded Succesfully."});
}

TEST(Autosave, MissingFoldersAreCreatedForTheUserOnly) {
  ScratchFolder dir;
  ProjectData p = SampleProject();
  const Result<void> written =
      WriteAutosave(dir.file("config/glyphmill/Autosave.gmp"), p.settings, p.selection, p.jobs, {});
  ASSERT_TRUE(written) << written.error();
  EXPECT_EQ(std::filesystem::file_size(dir.file("config/glyphmill/Autosave.gmp")), 65672u + 263u * p.jobs.size());
  struct stat info {};
  ASSERT_EQ(::stat(dir.file("config/glyphmill").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(Autosave, AFailureGivesTheReason) {
  ScratchFolder dir;
  WriteBytes(dir.file("plain-file"), {1, 2, 3});
  ProjectData p = SampleProject();
  const auto failure = [&p](const std::string& path) {
    const Result<void> written = WriteAutosave(path, p.settings, p.selection, p.jobs, {});
    return written ? std::string() : written.error();
  };
  // A "folder" that is a file: no one can write below it, root included.
  std::string error = failure(dir.file("plain-file/glyphmill/Autosave.gmp"));
  EXPECT_NE(error.find("Not a directory"), std::string::npos) << error;
  error = failure(dir.file("plain-file/Autosave.gmp"));
  EXPECT_NE(error.find("is not a folder"), std::string::npos) << error;
  EXPECT_EQ(std::filesystem::file_size(dir.file("plain-file")), 3u);
  EXPECT_EQ(failure(""), project_text::kNoAutosaveFolder);
  if (::geteuid() != 0) {
    ASSERT_EQ(::chmod(dir.path().c_str(), 0500), 0);
    EXPECT_FALSE(failure(dir.file("Autosave.gmp")).empty());
    EXPECT_FALSE(std::filesystem::exists(dir.file("Autosave.gmp")));
  }
}

}  // namespace
}  // namespace glyphmill
