// The Advanced Export window over a registry of real plug-in libraries: the category list, adding
// and removing jobs, the pictures of the queue grid, the click rules of types 5 and 7, the row
// count rule and the two ways of closing.
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/app_state.h"
#include "export/export_buffers.h"
#include "export/export_run.h"
#include "export/job_queue.h"
#include "glyphmill/plugin.h"
#include "project/project_io.h"
#include "tests/support/scripted_dialogs.h"
#include "ui/advanced_export_job_grid.h"
#include "ui/advanced_export_plugin_list.h"
#include "ui/advanced_export_window.h"

namespace glyphmill {
namespace {

constexpr int kSimple = 0, kGraphic = 1, kData = 2;  // category order of the list
constexpr int kColour = 3, kAlpha = 4, kDataColumn = 5;

class AdvancedExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_.registry.Discover(dialogs_, state_.jobs, DIALOG_TEST_PLUGINS);
    ASSERT_EQ(state_.registry.size(), 5u) << "the five test plug-ins load";
  }

  int indexOf(const std::string& name) const {
    for (size_t i = 0; i < state_.registry.size(); ++i)
      if (state_.registry.at(i).Name == name) return static_cast<int>(i);
    ADD_FAILURE() << "no plug-in " << name;
    return -1;
  }

  TExportJob NewJobFor(const std::string& name) const {
    TExportJob job;
    job.PluginIndex = indexOf(name);
    ApplyJobDefaults(job, state_.registry.at(static_cast<size_t>(job.PluginIndex)).pluginType());
    return job;
  }

  // Clicks the list button of a plug-in, then the add button.
  void addThroughWindow(TForm3& window, const std::string& name) {
    PluginCategoryList* list = window.pluginList();
    const int index = indexOf(name);
    for (int c = 0; c < list->categoryCount(); ++c) {
      for (int b = 0; b < list->buttonCaptions(c).size(); ++b) {
        list->selectButton(c, b);
        if (list->selectedPluginIndex() == index) {
          QTest::mouseClick(list, Qt::LeftButton, {}, list->buttonRect(c, b).center());
          ASSERT_EQ(list->selectedPluginIndex(), index);
          QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("SpeedButton3")), Qt::LeftButton);
          return;
        }
      }
    }
    FAIL() << "no button for " << name;
  }

  static void clickCell(TForm3& window, int column, int row) {
    JobQueueGrid* grid = window.grid();
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(column, row).center());
  }

  static const QImage* picture(TForm3& window, int column, int row) { return window.grid()->pictureFor(column, row); }

  ScriptedDialogs dialogs_;
  AppState state_;
};

TEST_F(AdvancedExportTest, ListsEveryPluginInTheCategoryOfItsType) {
  TForm3 window(state_);
  EXPECT_EQ(window.windowTitle(), "Advanced Export");
  PluginCategoryList* list = window.pluginList();
  ASSERT_EQ(list->categoryCount(), 3);
  EXPECT_EQ(list->categoryCaption(kSimple), "Simple Exporters");
  EXPECT_EQ(list->categoryCaption(kGraphic), "Graphic Exporters");
  EXPECT_EQ(list->categoryCaption(kData), "Data Exporters");
  EXPECT_EQ(list->buttonCaptions(kSimple), QStringList{"Quick Sheet (*.qsh)"});
  EXPECT_EQ(list->buttonCaptions(kData), QStringList{"Metrics Table (*.fnt)"});
  QStringList graphic = list->buttonCaptions(kGraphic);
  graphic.sort();
  EXPECT_EQ(graphic, (QStringList{"Colour Or Alpha (*.tga)", "Colour Picture", "Colour Xor Alpha (*.png)"}));
  EXPECT_EQ(list->selectedPluginIndex(), -1);

  // Folding a category hides its buttons; unfolding shows them again.
  QTest::mouseClick(list, Qt::LeftButton, {}, list->headerRect(kGraphic).center());
  EXPECT_TRUE(list->folded(kGraphic));
  EXPECT_TRUE(list->buttonRect(kGraphic, 0).isEmpty());
  EXPECT_GT(list->buttonRect(kData, 0).top(), list->headerRect(kData).top());
  QTest::mouseClick(list, Qt::LeftButton, {}, list->headerRect(kGraphic).center());
  EXPECT_FALSE(list->buttonRect(kGraphic, 0).isEmpty());

  EXPECT_EQ(PluginButtonCaption("BMFont", true, "fnt"), "BMFont (*.fnt)");
  EXPECT_EQ(PluginButtonCaption("Raw", false, "raw"), "Raw");
}

TEST_F(AdvancedExportTest, AnEmptyQueueShowsTheHeaderAndOneEmptyRow) {
  TForm3 window(state_);
  window.show();
  const CellPictures& pics = window.pictures();
  EXPECT_EQ(window.grid()->rowCount(), 2);
  EXPECT_EQ(picture(window, 0, 0), &pics.imgBarL);
  EXPECT_EQ(picture(window, 1, 0), &pics.imgBarC);
  EXPECT_EQ(picture(window, 2, 0), &pics.imgBarR);
  EXPECT_EQ(picture(window, 3, 0), &pics.imgRGB);
  EXPECT_EQ(picture(window, 4, 0), &pics.imgAlpha);
  EXPECT_EQ(picture(window, 5, 0), &pics.imgData);
  EXPECT_EQ(window.grid()->textFor(1, 0), "Plugin");
  for (int c = 0; c < 6; ++c) EXPECT_EQ(picture(window, c, 1), nullptr) << c;

  // Adding without a selected plug-in and removing without a job do nothing.
  window.SpeedButton3Click();
  window.SpeedButton4Click();
  EXPECT_TRUE(state_.jobs.empty());
  EXPECT_EQ(window.grid()->rowCount(), 2);
  window.hide();
}

TEST_F(AdvancedExportTest, ColumnsFollowTheGridWidth) {
  TForm3 window(state_);
  JobQueueGrid* grid = window.grid();
  EXPECT_EQ(grid->width(), 349);
  EXPECT_EQ(grid->columnWidth(0), 16);
  EXPECT_EQ(grid->columnWidth(1), 349 - 221);
  for (int c = 2; c < 6; ++c) EXPECT_EQ(grid->columnWidth(c), 51);
  grid->resize(200, grid->height());
  EXPECT_EQ(grid->columnWidth(1), 0);
}

TEST_F(AdvancedExportTest, XorJobShowsOneTickAndAClickSwapsThem) {
  TForm3 window(state_);
  window.show();
  const CellPictures& pics = window.pictures();
  addThroughWindow(window, "Colour Xor Alpha");
  ASSERT_EQ(state_.jobs.size(), 1u);
  EXPECT_EQ(state_.jobs[0].PluginIndex, indexOf("Colour Xor Alpha"));
  EXPECT_EQ(state_.jobs[0].PluginName[0], 0) << "the name is filled in when the queue is saved";
  EXPECT_EQ(window.grid()->rowCount(), 2);
  EXPECT_EQ(window.grid()->textFor(1, 1), "Colour Xor Alpha");
  EXPECT_EQ(picture(window, 0, 1), &pics.imgNameL);
  EXPECT_EQ(picture(window, 1, 1), &pics.imgNameC);
  EXPECT_EQ(picture(window, 2, 1), &pics.imgNameR);
  EXPECT_EQ(picture(window, kColour, 1), &pics.imgTick);
  EXPECT_EQ(picture(window, kAlpha, 1), &pics.imgCross);
  EXPECT_EQ(picture(window, kDataColumn, 1), &pics.imgEmpty);

  clickCell(window, kAlpha, 1);
  EXPECT_EQ(picture(window, kColour, 1), &pics.imgCross);
  EXPECT_EQ(picture(window, kAlpha, 1), &pics.imgTick);
  clickCell(window, kColour, 1);
  EXPECT_EQ(picture(window, kColour, 1), &pics.imgTick);
  EXPECT_EQ(picture(window, kAlpha, 1), &pics.imgCross);
  // Clicking the option that is on switches over too: exactly one stays on.
  clickCell(window, kColour, 1);
  EXPECT_FALSE(state_.jobs[0].UseRGB);
  EXPECT_TRUE(state_.jobs[0].UseAlpha);
  // Other columns change nothing.
  const TExportJob before = state_.jobs[0];
  clickCell(window, kDataColumn, 1);
  clickCell(window, 1, 1);
  EXPECT_EQ(state_.jobs[0], before);
  window.hide();
}

TEST_F(AdvancedExportTest, OrJobKeepsAtLeastOneOptionOn) {
  TForm3 window(state_);
  window.show();
  const CellPictures& pics = window.pictures();
  addThroughWindow(window, "Colour Or Alpha");
  ASSERT_EQ(state_.jobs.size(), 1u);
  EXPECT_EQ(picture(window, kColour, 1), &pics.imgTick);
  EXPECT_EQ(picture(window, kAlpha, 1), &pics.imgTick);

  clickCell(window, kAlpha, 1);
  EXPECT_EQ(picture(window, kColour, 1), &pics.imgTick);
  EXPECT_EQ(picture(window, kAlpha, 1), &pics.imgCross);
  // Turning the colour off turns the alpha back on.
  clickCell(window, kColour, 1);
  EXPECT_EQ(picture(window, kColour, 1), &pics.imgCross);
  EXPECT_EQ(picture(window, kAlpha, 1), &pics.imgTick);
  // Both may be on together.
  clickCell(window, kColour, 1);
  EXPECT_TRUE(state_.jobs[0].UseRGB);
  EXPECT_TRUE(state_.jobs[0].UseAlpha);
  window.hide();
}

TEST_F(AdvancedExportTest, DataSimpleAndSingleBufferJobsShowTheirDefaultsAndIgnoreClicks) {
  TForm3 window(state_);
  window.show();
  const CellPictures& pics = window.pictures();
  addThroughWindow(window, "Metrics Table");
  addThroughWindow(window, "Quick Sheet");
  addThroughWindow(window, "Colour Picture");
  addThroughWindow(window, "Colour Picture");  // the same plug-in may be queued again
  ASSERT_EQ(state_.jobs.size(), 4u);
  EXPECT_EQ(window.grid()->rowCount(), 5);

  EXPECT_EQ(picture(window, kColour, 1), &pics.imgEmpty);
  EXPECT_EQ(picture(window, kAlpha, 1), &pics.imgEmpty);
  EXPECT_EQ(picture(window, kDataColumn, 1), &pics.imgTick);
  EXPECT_EQ(picture(window, kColour, 2), &pics.imgSimpleL);
  EXPECT_EQ(picture(window, kAlpha, 2), &pics.imgSimpleC);
  EXPECT_EQ(picture(window, kDataColumn, 2), &pics.imgSimpleR);
  EXPECT_EQ(picture(window, kColour, 3), &pics.imgTick);
  EXPECT_EQ(picture(window, kAlpha, 3), &pics.imgEmpty);

  const ExportJobQueue before = state_.jobs;
  for (int row = 1; row <= 4; ++row)
    for (int column : {kColour, kAlpha, kDataColumn}) clickCell(window, column, row);
  EXPECT_EQ(state_.jobs, before);
  EXPECT_FALSE(before[1].UseRGB || before[1].UseAlpha || before[1].UseData) << "a simple job starts with nothing on";
  window.hide();
}

TEST_F(AdvancedExportTest, RemovingTakesTheSelectedJobAndLeavesAtLeastTwoRows) {
  TForm3 window(state_);
  window.show();
  addThroughWindow(window, "Metrics Table");
  addThroughWindow(window, "Colour Or Alpha");
  addThroughWindow(window, "Quick Sheet");
  ASSERT_EQ(window.grid()->rowCount(), 4);

  // Select the second job by clicking its name, then remove it: the third moves up.
  clickCell(window, 1, 2);
  EXPECT_EQ(window.grid()->selectedRow(), 2);
  QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("SpeedButton4")), Qt::LeftButton);
  ASSERT_EQ(state_.jobs.size(), 2u);
  EXPECT_EQ(state_.jobs[1].PluginIndex, indexOf("Quick Sheet"));
  EXPECT_EQ(window.grid()->rowCount(), 3);

  window.grid()->selectRow(1);
  window.SpeedButton4Click();
  window.SpeedButton4Click();
  EXPECT_TRUE(state_.jobs.empty());
  EXPECT_EQ(window.grid()->rowCount(), 2);
  window.hide();
}

TEST_F(AdvancedExportTest, AProjectWithThreeJobsShowsFourRows) {
  // Save a project with three queued jobs and load it back, as the main window does.
  ExportJobQueue saved;
  for (const char* name : {"Metrics Table", "Colour Xor Alpha", "Quick Sheet"}) saved.push_back(NewJobFor(name));
  const std::string path = (std::filesystem::temp_directory_path() / "glyphmill_dialogs_three_jobs.gmp").string();
  const PluginNames names = RegistryNames(state_.registry);
  const Result<void> written = WriteProjectFile(path, state_.settings, state_.selection, saved, names);
  ASSERT_TRUE(written) << written.error();
  std::string status;
  ProjectLoad load = LoadProjectFile(path, names, dialogs_, [&](const std::string& s) { status = s; });
  std::filesystem::remove(path);
  ASSERT_EQ(load.outcome, LoadOutcome::Loaded) << status;

  TForm3 window(state_);
  window.show();
  window.hide();
  state_.jobs = load.project->jobs;
  window.show();
  EXPECT_EQ(window.grid()->rowCount(), 4);
  EXPECT_EQ(window.grid()->textFor(1, 2), "Colour Xor Alpha");
  window.hide();
}

TEST_F(AdvancedExportTest, AJobWhosePluginIsMissingShowsSoAndFailsWhenRun) {
  TExportJob gone;
  gone.PluginIndex = 42;
  const std::string name = "Gone Exporter";
  gone.PluginName[0] = static_cast<uint8_t>(name.size());
  std::copy(name.begin(), name.end(), gone.PluginName.begin() + 1);
  gone.UseRGB = true;
  state_.jobs.push_back(gone);

  TForm3 window(state_);
  window.show();
  const CellPictures& pics = window.pictures();
  EXPECT_EQ(window.grid()->textFor(1, 1), "Missing plug-in: Gone Exporter");
  for (int column : {kColour, kAlpha, kDataColumn}) EXPECT_EQ(picture(window, column, 1), &pics.imgEmpty);
  clickCell(window, kColour, 1);
  clickCell(window, kAlpha, 1);
  EXPECT_EQ(state_.jobs[0], gone);
  window.hide();

  // Running it fails without calling anything or asking anything.
  GenerationResult result;
  result.colour.resize(4, 4);
  result.mask.resize(4, 4);
  ExportBuffers buffers;
  ExportContext context{state_.settings, result, ExportFontMetrics{}, state_.registry, state_.jobs, dialogs_,
                        buffers,         nullptr};
  ExportRun run(context);
  dialogs_.clearLog();
  EXPECT_FALSE(run.RunJob(gone));
  EXPECT_TRUE(dialogs_.log().empty());
}

TEST_F(AdvancedExportTest, ExecuteReturnsOneAndCancelKeepsTheQueueEdits) {
  TForm3 window(state_);
  QTimer::singleShot(0, &window, [&] {
    addThroughWindow(window, "Colour Or Alpha");
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("SpeedButton1")), Qt::LeftButton);
  });
  EXPECT_EQ(window.exec(), 1);
  EXPECT_EQ(state_.jobs.size(), 1u);

  QTimer::singleShot(0, &window, [&] {
    addThroughWindow(window, "Metrics Table");
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("SpeedButton2")), Qt::LeftButton);
  });
  EXPECT_EQ(window.exec(), 0);
  EXPECT_EQ(state_.jobs.size(), 2u) << "the edits stay after Cancel";

  // The title bar's close counts as Cancel.
  QTimer::singleShot(0, &window, [&] { window.close(); });
  EXPECT_EQ(window.exec(), 0);
}

}  // namespace
}  // namespace glyphmill
