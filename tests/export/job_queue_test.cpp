#include "export/job_queue.h"

#include <gtest/gtest.h>

#include "export/export_menu.h"
#include "export_test_support.h"

namespace glyphmill {
namespace {

using testing_support::ExportWorld;
using testing_support::Plugin;
using testing_support::PluginFolder;

TEST(JobDefaults, OptionsSwitchedOnPerType) {
  struct Row {
    uint8_t type;
    bool rgb, alpha, data;
  } rows[] = {{1, false, false, false}, {2, false, false, true},  {3, true, false, false},
              {4, false, true, false},  {5, true, false, false},  {6, true, true, false},
              {7, true, true, false},   {0, false, false, false}, {99, false, false, false}};
  for (const Row& r : rows) {
    TExportJob job;
    ApplyJobDefaults(job, r.type);
    EXPECT_EQ(job.UseRGB, r.rgb) << int(r.type);
    EXPECT_EQ(job.UseAlpha, r.alpha) << int(r.type);
    EXPECT_EQ(job.UseData, r.data) << int(r.type);
  }
}

TEST(JobToggles, XorKeepsExactlyOneOrKeepsAtLeastOne) {
  TExportJob xorJob;
  ApplyJobDefaults(xorJob, ptGraphicRGBXorAlpha);
  EXPECT_TRUE(ToggleJobAlpha(xorJob, ptGraphicRGBXorAlpha));  // swap to alpha
  EXPECT_FALSE(xorJob.UseRGB);
  EXPECT_TRUE(xorJob.UseAlpha);
  ToggleJobAlpha(xorJob, ptGraphicRGBXorAlpha);  // off again: colour comes back
  EXPECT_TRUE(xorJob.UseRGB);
  EXPECT_FALSE(xorJob.UseAlpha);
  ToggleJobColour(xorJob, ptGraphicRGBXorAlpha);
  EXPECT_FALSE(xorJob.UseRGB);
  EXPECT_TRUE(xorJob.UseAlpha);

  TExportJob orJob;
  ApplyJobDefaults(orJob, ptGraphicRGBOrAlpha);
  ToggleJobAlpha(orJob, ptGraphicRGBOrAlpha);
  EXPECT_TRUE(orJob.UseRGB);
  EXPECT_FALSE(orJob.UseAlpha);
  ToggleJobColour(orJob, ptGraphicRGBOrAlpha);  // colour off: alpha on again
  EXPECT_FALSE(orJob.UseRGB);
  EXPECT_TRUE(orJob.UseAlpha);
  ToggleJobColour(orJob, ptGraphicRGBOrAlpha);  // both on is allowed for type 7
  EXPECT_TRUE(orJob.UseRGB && orJob.UseAlpha);

  TExportJob data;
  ApplyJobDefaults(data, ptData);
  const TExportJob before = data;
  EXPECT_FALSE(ToggleJobColour(data, ptData));
  EXPECT_FALSE(ToggleJobAlpha(data, ptData));
  EXPECT_EQ(data, before);
}

TEST(JobQueue, AppendRemoveAndGridRows) {
  PluginFolder folder({Plugin("graphic_xor"), Plugin("data_ok")});
  ExportWorld w;
  w.discover();
  EXPECT_EQ(QueueGridRows(w.jobs), 2u);
  const int32_t xorIndex = w.indexOf("Either Image");
  ASSERT_TRUE(AppendJob(w.jobs, w.registry, xorIndex));
  ASSERT_TRUE(AppendJob(w.jobs, w.registry, xorIndex));  // the same plug-in again
  ASSERT_TRUE(AppendJob(w.jobs, w.registry, w.indexOf("Test Data")));
  EXPECT_FALSE(AppendJob(w.jobs, w.registry, 7));
  EXPECT_FALSE(AppendJob(w.jobs, w.registry, -1));
  ASSERT_EQ(w.jobs.size(), 3u);
  EXPECT_EQ(QueueGridRows(w.jobs), 4u);
  EXPECT_EQ(w.jobs[0].PluginIndex, xorIndex);
  EXPECT_EQ(w.jobs[0].PluginName[0], 0);
  EXPECT_TRUE(w.jobs[0].UseRGB);
  EXPECT_FALSE(w.jobs[0].UseAlpha);
  EXPECT_TRUE(w.jobs[2].UseData);
  EXPECT_EQ(JobPlugin(w.registry, w.jobs[2])->Name, "Test Data");

  EXPECT_TRUE(RemoveJob(w.jobs, 0));
  EXPECT_FALSE(RemoveJob(w.jobs, 2));
  ASSERT_EQ(w.jobs.size(), 2u);
  EXPECT_TRUE(w.jobs[1].UseData);  // later jobs moved up
  RemoveJob(w.jobs, 0);
  RemoveJob(w.jobs, 0);
  EXPECT_EQ(QueueGridRows(w.jobs), 2u);

  TExportJob stray;
  stray.PluginIndex = 9;
  EXPECT_EQ(JobPlugin(w.registry, stray), nullptr);
  EXPECT_EQ(RegistryNames(w.registry).size(), 2u);
}

TEST(ExportMenu, SimpleExportersThenSeparatorAndAdvanced) {
  PluginFolder folder({Plugin("graphic_rgb"), Plugin("simple_ok"), Plugin("data_ok"), Plugin("simple_quiet")});
  ExportWorld w;
  w.discover();
  const auto menu = BuildExportMenuModel(w.registry);
  ASSERT_EQ(menu.size(), 4u);
  // Registry order, simple exporters only.
  std::vector<std::string> captions;
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(menu[i].kind, ExportMenuEntry::Kind::QuickExport);
    EXPECT_EQ(w.registry.at(static_cast<std::size_t>(menu[i].pluginIndex)).pluginType(), ptSimple);
    EXPECT_EQ(menu[i].caption, "Export to " + w.registry.at(static_cast<std::size_t>(menu[i].pluginIndex)).Name);
  }
  EXPECT_LT(menu[0].pluginIndex, menu[1].pluginIndex);
  EXPECT_EQ(menu[2].kind, ExportMenuEntry::Kind::Separator);
  EXPECT_EQ(menu[2].caption, "-");
  EXPECT_EQ(menu[3].caption, "Advanced Export...");
  EXPECT_EQ(ExportButtonActionFor(w.registry), ExportButtonAction::PopupMenu);

  const auto list = BuildPluginList(w.registry);
  ASSERT_EQ(list.size(), 4u);
  for (const auto& e : list) {
    const TExportPlugin& p = w.registry.at(static_cast<std::size_t>(e.pluginIndex));
    if (p.Name == "Test Simple") {
      EXPECT_EQ(e.caption, "Test Simple (*.fnt)");
      EXPECT_EQ(e.category, PluginCategory::Simple);
    } else if (p.Name == "Colour Only") {
      EXPECT_EQ(e.caption, "Colour Only (*.bmp)");
      EXPECT_EQ(e.category, PluginCategory::Graphic);
    } else if (p.Name == "Test Data") {
      EXPECT_EQ(e.category, PluginCategory::Data);
    } else {
      EXPECT_EQ(e.caption, "Quiet Simple");
    }
  }
  EXPECT_STREQ(CategoryCaption(PluginCategory::Simple), "Simple Exporters");
  EXPECT_STREQ(CategoryCaption(PluginCategory::Graphic), "Graphic Exporters");
  EXPECT_STREQ(CategoryCaption(PluginCategory::Data), "Data Exporters");
}

TEST(ExportMenu, WithoutSimpleExportersOnlyTheAdvancedItemRemains) {
  PluginFolder folder({Plugin("graphic_rgb")});
  ExportWorld w;
  w.discover();
  const auto menu = BuildExportMenuModel(w.registry);
  ASSERT_EQ(menu.size(), 2u);
  EXPECT_EQ(menu[0].kind, ExportMenuEntry::Kind::Separator);
  EXPECT_EQ(menu[1].kind, ExportMenuEntry::Kind::AdvancedExport);
  EXPECT_EQ(ExportButtonActionFor(w.registry), ExportButtonAction::OpenAdvancedExport);
}

}  // namespace
}  // namespace glyphmill
