// Controls of the windows behaving as a desktop user expects: drop-down row limits under every
// style, the export button's context menu, the preview strip's room and redraws, saving that keeps
// the texture, loaded values brought into range, and job names with room for their descenders.

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <fstream>

#include "app/app_state.h"
#include "export/job_queue.h"
#include "project/project_file.h"
#include "render/placement.h"
#include "ui/advanced_export_job_grid.h"
#include "ui/cell_pictures.h"
#include "ui/combo_rows.h"
#include "ui/preview_strip.h"
#include "ui/status_bar.h"
#include "ui/texture_view.h"
#include "ui_test_support.h"

namespace glyphmill::testing {
namespace {

void Manual(TForm1& w) {
  w.ui.CheckBox8->setChecked(false);
  w.ui.Timer2->stop();
  w.state().autoGenerateArmed = false;
}

int CountNot(const Image24& image, Bgr background) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) != background;
  return n;
}

TEST(DropDownRows, TheRowLimitHoldsUnderThePopUpStyle) {
  // The test program runs with Qt's default style here (Fusion), which pops lists up over the box.
  QComboBox box;
  for (int i = 0; i < 100; ++i) box.addItem(QString::number(i));
  LimitVisibleRows(&box, 10);
  box.show();
  box.showPopup();
  QAbstractItemView* view = box.view();
  const int row = view->sizeHintForRow(0);
  ASSERT_GT(row, 0);
  EXPECT_LE(view->height(), 11 * row) << QApplication::style()->name().toStdString();
  EXPECT_GE(view->height(), 9 * row);
  box.hidePopup();
}

TEST(DropDownRows, TheFontListShowsSixteenRows) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.show();
  ASSERT_GT(w.ui.cmbFont->count(), 16);
  w.ui.cmbFont->showPopup();
  QAbstractItemView* view = w.ui.cmbFont->view();
  const int row = view->sizeHintForRow(0);
  ASSERT_GT(row, 0);
  EXPECT_LE(view->height(), 17 * row);
  w.ui.cmbFont->hidePopup();
}

TEST(ExportButton, ARightClickOpensTheExportPopup) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.show();
  EXPECT_FALSE(w.ui.ExportMenu->isVisible());
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), w.ui.Button2->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(w.ui.Button2, &event);
  EXPECT_TRUE(w.ui.ExportMenu->isVisible());
  w.ui.ExportMenu->close();
}

TEST(PreviewStripRoom, NegativeSpacingNeverLetsTheStripCoverTheTextureView) {
  WindowFixture f;
  TForm1& w = *f.window;
  Manual(w);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  w.ui.udVPad->setValue(-100);
  w.ui.udGenPad->setValue(-100);
  w.ui.Button1->click();
  ASSERT_TRUE(WaitForGeneration(w));
  EXPECT_GE(w.ui.Tab->height(), 120);
  EXPECT_GE(w.ui.Image3->y(), w.ui.Tab->y() + 120);
  EXPECT_EQ(w.ui.Image3->y() + w.ui.Image3->height() + 2, w.ui.Bar->y());
}

TEST(PreviewStripRedraw, AWindowResizeRedrawsThePreviewInsteadOfEmptyingIt) {
  WindowFixture f;
  TForm1& w = *f.window;
  Manual(w);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  w.ui.txtWidth->setEditText("512");
  w.ui.txtHeight->setEditText("512");
  w.ui.Button3->click();
  w.ui.Button1->click();
  ASSERT_TRUE(WaitForGeneration(w));
  w.DrawPreview();
  const Bgr background = w.ui.Image3->bitmap().pixel(0, 0);
  ASSERT_GT(CountNot(w.ui.Image3->bitmap(), background), 50);
  w.resize(w.width() + 60, w.height() + 20);
  Pump(20);
  EXPECT_GT(CountNot(w.ui.Image3->bitmap(), background), 50);
}

TEST(PreviewStripRedraw, UnplacedCharactersAreNotDrawnAsCopiesOfTheFirstCell) {
  WindowFixture f;
  TForm1& w = *f.window;
  Manual(w);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  // Room for a few characters only: most records stay at 0, 0.
  w.ui.chkFitTexture->setChecked(false);
  w.ui.txtWidth->setEditText("64");
  w.ui.txtHeight->setEditText("64");
  w.ui.Button3->click();
  w.ui.Button1->click();
  ASSERT_TRUE(WaitForGeneration(w));
  ASSERT_LT(w.state().result.placedCount, static_cast<int32_t>(w.state().result.chars.size()));
  // Only unplaced characters in the text: nothing but the background.
  std::u16string unplaced;
  const std::vector<uint8_t> flags =
      PlacedFlags({SortOrder(w.state().result.chars), w.state().result.placedCount}, w.state().result.chars.size());
  for (std::size_t i = 0; i < flags.size() && unplaced.size() < 5; ++i)
    if (!flags[i]) unplaced.push_back(static_cast<char16_t>(w.state().result.chars[i].codeUnit));
  ASSERT_FALSE(unplaced.empty());
  w.ui.Edit12->setText(QString::fromStdU16String(unplaced));
  w.DrawPreview();
  const Image24& strip = w.ui.Image3->bitmap();
  EXPECT_EQ(CountNot(strip, strip.pixel(0, 0)), 0);
}

TEST(SavingAProject, KeepsTheTextureAndThePreview) {
  WindowFixture f;
  TForm1& w = *f.window;
  Manual(w);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  w.ui.chkFitTexture->setChecked(false);
  w.ui.txtWidth->setEditText("256");
  w.ui.txtHeight->setEditText("256");
  w.ui.Button3->click();
  w.ui.Button1->click();
  ASSERT_TRUE(WaitForGeneration(w));
  w.DrawPreview();
  const Image24& img = w.state().result.colour;
  std::vector<uint8_t> before(img.data(), img.data() + img.stride() * static_cast<std::size_t>(img.height()));
  ASSERT_GT(CountNot(img, w.state().result.colour.pixel(255, 255)), 100);
  const Bgr background = w.ui.Image3->bitmap().pixel(0, 0);
  const int previewInk = CountNot(w.ui.Image3->bitmap(), background);
  ASSERT_GT(previewInk, 50);
  f.dialogs.queueSavePath(f.path("kept.gmp"));
  w.SaveFontProject1Click();
  ASSERT_EQ(img.width(), 256);
  EXPECT_EQ(0, std::memcmp(before.data(), img.data(), before.size())) << "the texture is not cleared";
  EXPECT_EQ(CountNot(w.ui.Image3->bitmap(), background), previewInk);
}

TEST(LoadingAProject, ValuesOutOfRangeAreLimitedAndTheStatusLineSaysSo) {
  WindowFixture f;
  TForm1& w = *f.window;
  Manual(w);
  GenerationSettings s = w.state().settings;
  s.outlineWidth = 65535;
  s.leading = INT32_MIN;
  s.shadowOpacity = 500;
  const std::vector<uint8_t> bytes = ProjectToBytes(s, w.state().selection, {});
  const std::string path = f.path("wild.gmp");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  w.LoadProjectFile(path);
  EXPECT_EQ(w.state().settings.outlineWidth, 20);
  EXPECT_EQ(w.state().settings.leading, -100);
  EXPECT_EQ(w.state().settings.shadowOpacity, 100);
  EXPECT_EQ(w.ui.udLeading->value(), -100);
  EXPECT_EQ(w.ui.statBar->message(),
            "!Project values out of range were limited: leading -2147483648 -> -100, outlineWidth 65535 -> 20, "
            "shadowOpacity 500 -> 100");
}

TEST(JobGrid, PlugInNamesHaveRoomForTheirDescenders) {
  AppState state;
  state.jobs.resize(2);
  SetShortString(state.jobs[0].PluginName, "Glyph jpg");
  const CellPictures pictures = MakeCellPictures();
  JobQueueGrid grid(state, pictures);
  grid.setRowCount(3);
  grid.resize(400, 100);
  for (int row = 0; row < 3; ++row) {
    const QRect cell = grid.cellRect(0, row);
    const QRect text = grid.textRect(0, row);
    EXPECT_TRUE(cell.contains(text)) << row;
    EXPECT_GE(cell.height(), JobQueueGrid::kRowHeight);
  }
  // The bold name font's whole line fits the row.
  QFont bold(QStringLiteral("Tahoma"));
  bold.setPointSize(12);
  bold.setBold(true);
  EXPECT_GE(grid.textRect(0, 1).height(), QFontMetrics(bold).height());
  EXPECT_GE(grid.rowHeight(), QFontMetrics(bold).height());
}

}  // namespace
}  // namespace glyphmill::testing
