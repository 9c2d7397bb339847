// Queued jobs find their plug-in again by name after the plug-in list changed.
#include "project/job_plugin_names.h"

#include <gtest/gtest.h>

#include "project/project_file.h"
#include "project_test_util.h"

namespace glyphmill {
namespace {

using testing_util::MakeJob;

TEST(JobPluginNames, ShortStringsHoldLengthAndBytesAndKeepTheRest) {
  std::array<uint8_t, 256> field{};
  field.fill(0xEE);
  SetShortString(field, "PNG");
  EXPECT_EQ(field[0], 3);
  EXPECT_EQ(field[1], 'P');
  EXPECT_EQ(field[3], 'G');
  EXPECT_EQ(field[4], 0xEE);  // bytes after the name are left as they were
  EXPECT_TRUE(ShortStringEquals(field, "PNG"));
  EXPECT_FALSE(ShortStringEquals(field, "PN"));
  EXPECT_FALSE(ShortStringEquals(field, "PNGx"));
  EXPECT_FALSE(ShortStringEquals(field, "png"));  // case matters
}

TEST(JobPluginNames, LongNamesAreCutToWholeUtf8Characters) {
  std::array<uint8_t, 256> field{};
  const std::string name = std::string(254, 'a') + "\xC3\xA9";  // 256 bytes, the last character 2 bytes
  SetShortString(field, name);
  EXPECT_EQ(field[0], 254);
  EXPECT_TRUE(ShortStringEquals(field, name));  // compared as it would be stored
}

TEST(JobPluginNames, SavingRefreshesNamesOfJobsWhosePluginIsLoaded) {
  ExportJobQueue jobs{MakeJob(1, "old name", true, false, false), MakeJob(9, "gone", false, true, false),
                      MakeJob(-1, "negative", false, false, true)};
  RefreshJobNames(jobs, {"PNG image", "BMFont text"});
  EXPECT_EQ(jobs[0].pluginNameString(), "BMFont text");
  EXPECT_EQ(jobs[1].pluginNameString(), "gone");  // outside the list: the name that can find it later
  EXPECT_EQ(jobs[2].pluginNameString(), "negative");
  EXPECT_EQ(jobs[1].PluginIndex, 9);
}

TEST(JobPluginNames, LoadingKeepsAnIndexThatStillNamesTheSamePlugin) {
  ExportJobQueue jobs{MakeJob(1, "B", false, false, false)};
  MatchJobsToPlugins(jobs, {"B", "B", "C"});  // index 1 is "B": kept although 0 is "B" too
  EXPECT_EQ(jobs[0].PluginIndex, 1);
}

TEST(JobPluginNames, LoadingFindsAMovedPluginByName) {
  ExportJobQueue jobs{MakeJob(3, "BMFont text", false, true, false), MakeJob(0, "PNG image", true, false, true)};
  MatchJobsToPlugins(jobs, {"New exporter", "PNG image", "JSON", "Targa", "BMFont text"});
  EXPECT_EQ(jobs[0].PluginIndex, 4);
  EXPECT_EQ(jobs[1].PluginIndex, 1);
}

TEST(JobPluginNames, LoadingTakesTheFirstOfEqualNamesAndNeverRunsAnotherPluginForAMissingOne) {
  ExportJobQueue jobs{MakeJob(0, "dup", false, false, false), MakeJob(2, "missing", false, false, false),
                      MakeJob(40, "dup", false, false, false)};
  MatchJobsToPlugins(jobs, {"other", "dup", "x", "dup"});
  EXPECT_EQ(jobs[0].PluginIndex, 1);
  EXPECT_EQ(jobs[1].PluginIndex, -1);  // no such name: it must not run the plug-in now at index 2
  EXPECT_EQ(jobs[2].PluginIndex, 1);   // an index outside the list never matches
}

TEST(JobPluginNames, AProjectSavedWithThePluginAtThreeIsLoadedWithItsNewIndex) {
  ProjectData p;
  p.jobs.push_back(MakeJob(3, "", true, false, true));
  const PluginNames atSave{"A", "B", "C", "PNG image"};
  RefreshJobNames(p.jobs, atSave);
  const std::vector<uint8_t> bytes = ProjectToBytes(p.settings, p.selection, p.jobs);

  const PluginNames atLoad{"Added first", "A", "B", "C", "PNG image"};
  const auto backRead = ParseProjectBytes(bytes.data(), bytes.size(), atLoad);
  ASSERT_TRUE(backRead.has_value()) << backRead.error().text;
  const ProjectData& back = *backRead;
  ASSERT_EQ(back.jobs.size(), 1u);
  EXPECT_EQ(back.jobs[0].PluginIndex, 4);
  EXPECT_EQ(back.jobs[0].pluginNameString(), "PNG image");
  EXPECT_TRUE(back.jobs[0].UseRGB);
  EXPECT_TRUE(back.jobs[0].UseAlpha);
}

}  // namespace
}  // namespace glyphmill
