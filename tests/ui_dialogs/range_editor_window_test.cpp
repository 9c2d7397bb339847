// The character range editor with a real font (DejaVu Sans): layout, cells, mouse painting of the
// selection, character info, the jump list, Select All / None, and the main window's side
// (measure, copy, accept or restore).
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <optional>

#include "app/app_state.h"
#include "settings/unicode_blocks.h"
#include "ui/range_editor_grid.h"
#include "ui/range_editor_model.h"
#include "ui/range_editor_window.h"

namespace glyphmill {
namespace {

class RangeEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDefaultSelection(state_.selection);
    state_.fontChanged = true;
    font_.name = "DejaVu Sans";
    font_.pointSize = 32;
    editor_ = std::make_unique<TForm2>(state_);
    std::string error;
    ASSERT_TRUE(editor_->beginEditing(font_, &error)) << error;
    editor_->show();
  }
  void TearDown() override {
    if (editor_) editor_->hide();
  }

  RangeEditorGrid* grid() const { return editor_->grid(); }
  QString label(const char* name) const {
    auto* l = editor_->findChild<QLabel*>(QString::fromLatin1(name));
    return l ? l->text() : QStringLiteral("<missing>");
  }
  QCheckBox* entireRange() const { return editor_->findChild<QCheckBox*>(QStringLiteral("CheckBox1")); }
  QCheckBox* useColour() const { return editor_->findChild<QCheckBox*>(QStringLiteral("CheckBox2")); }
  QComboBox* jumpList() const { return editor_->findChild<QComboBox*>(QStringLiteral("ComboBox1")); }
  void click(const char* button) {
    QTest::mouseClick(editor_->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
  }

  // Brings a cell into view and gives its centre in viewport coordinates.
  QPoint centreOf(int64_t cell) {
    const int row = static_cast<int>(cell / editor_->model().columns());
    if (row < grid()->topRow() || row >= grid()->topRow() + grid()->visibleRows()) grid()->setTopRow(row);
    return grid()->cellRect(cell).center();
  }

  // A drag from one cell to another with real mouse events on the grid's viewport.
  void drag(int64_t from, int64_t to, Qt::MouseButton button) {
    QWidget* vp = grid()->viewport();
    const QPoint a = centreOf(from);
    QTest::mousePress(vp, button, {}, a);
    const QPoint b = centreOf(to);
    QMouseEvent move(QEvent::MouseMove, QPointF(b), vp->mapToGlobal(QPointF(b)), Qt::NoButton, button, Qt::NoModifier);
    QApplication::sendEvent(vp, &move);
    QTest::mouseRelease(vp, button, {}, b);
  }

  void hover(int64_t cell) {
    QWidget* vp = grid()->viewport();
    const QPoint p = centreOf(cell);
    QMouseEvent move(QEvent::MouseMove, QPointF(p), vp->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(vp, &move);
  }

  void showEntireRange(bool on) {
    if (entireRange()->isChecked() != on) QTest::mouseClick(entireRange(), Qt::LeftButton);
    ASSERT_EQ(entireRange()->isChecked(), on);
  }

  // A run of `length` consecutive code units the font lacks, at or after `from`.
  std::optional<uint16_t> unsupportedRun(uint32_t from, int length) const {
    for (uint32_t c = from; c + length < 65536; ++c) {
      bool all = true;
      for (int i = 0; i < length && all; ++i) all = !state_.tables.fontSupport[c + i];
      if (all) return static_cast<uint16_t>(c);
    }
    return std::nullopt;
  }

  // Pins the supported-only view to exactly the code units 32..126, as a font with just those would.
  void supportOnlyPrintableAscii() {
    std::fill(state_.tables.fontSupport.begin(), state_.tables.fontSupport.end(), 0);
    state_.tables.supportedCount = 0;
    for (uint32_t c = 32; c <= 126; ++c) {
      state_.tables.fontSupport[c] = 1;
      state_.tables.supportedList[static_cast<size_t>(state_.tables.supportedCount++)] = c;
    }
    editor_->CheckBox1Click();
  }

  AppState state_;
  FontRequest font_;
  std::unique_ptr<TForm2> editor_;
};

TEST_F(RangeEditorTest, OpensAtTheDesignSizeWithFifteenColumns) {
  EXPECT_EQ(editor_->windowTitle(), "Edit Character Range");
  EXPECT_EQ(editor_->size(), QSize(537, 607));
  EXPECT_EQ(grid()->width(), 521);
  EXPECT_EQ(editor_->model().columns(), 15);
  EXPECT_TRUE(useColour()->isChecked());
  EXPECT_FALSE(entireRange()->isChecked());
  EXPECT_FALSE(jumpList()->isEnabled());
  ASSERT_EQ(jumpList()->count(), 67);
  EXPECT_EQ(jumpList()->itemText(0), "Basic Latin");
  EXPECT_EQ(jumpList()->itemText(66), "Halfwidth and Fullwidth Forms");
  // Opening pruned the default selection 33..132 to what the font has and counted it.
  uint32_t expected = 0;
  for (uint32_t c = 33; c <= 132; ++c) expected += state_.tables.fontSupport[c] != 0;
  EXPECT_EQ(state_.tables.selectedCount, expected);
  EXPECT_EQ(label("Label6"), QString::number(expected) + " Characters Selected.");
}

TEST_F(RangeEditorTest, NarrowGridsKeepOneColumn) {
  editor_->resize(editor_->minimumSize());
  grid()->resize(40, grid()->height());
  EXPECT_EQ(editor_->model().columns(), 1);
  EXPECT_EQ(editor_->model().rows(), state_.tables.supportedCount + 1);
}

TEST_F(RangeEditorTest, EntireRangeViewEndsWithAPartlyBlankRow) {
  showEntireRange(true);
  RangeEditorModel& m = editor_->model();
  EXPECT_EQ(m.rows(), 65536 / 15 + 1);
  EXPECT_EQ(m.codeUnitAt(4369 * 15), std::optional<uint16_t>(0xFFFF));
  EXPECT_EQ(m.codeUnitAt(4369 * 15 + 1), std::nullopt);
  EXPECT_EQ(m.codeUnitAt(1234), std::optional<uint16_t>(1234));
  // When the column count divides 65,536 the last row is wholly blank.
  grid()->resize(17 * 32, grid()->height());
  EXPECT_EQ(m.columns(), 16);
  EXPECT_EQ(m.rows(), 4097);
  EXPECT_EQ(m.codeUnitAt(4096 * 16), std::nullopt);
}

TEST_F(RangeEditorTest, SupportedViewShowsNinetyFiveCodeUnitsOnSevenRows) {
  supportOnlyPrintableAscii();
  RangeEditorModel& m = editor_->model();
  EXPECT_EQ(m.rows(), 7);
  EXPECT_EQ(m.codeUnitAt(0), std::optional<uint16_t>(32));
  EXPECT_EQ(m.codeUnitAt(94), std::optional<uint16_t>(126));
  EXPECT_EQ(m.codeUnitAt(95), std::nullopt);

  // Dragging over the blank cells after the last one changes nothing, with either button.
  const CharacterSelection before = state_.selection;
  drag(96, 104, Qt::LeftButton);
  EXPECT_EQ(state_.selection, before);
  drag(95, 104, Qt::RightButton);
  EXPECT_EQ(state_.selection, before);

  // A left drag from the last cell of the third row into the blank cells selects the run in
  // reading order up to the last real code unit.
  click("SpeedButton4");
  drag(44, 100, Qt::LeftButton);
  for (uint32_t c = 32; c <= 126; ++c) EXPECT_EQ(state_.selection[c] != 0, c >= 32 + 44) << c;
  EXPECT_EQ(state_.tables.selectedCount, 95u - 44u);
  EXPECT_EQ(label("Label6"), "51 Characters Selected.");
}

TEST_F(RangeEditorTest, EntireRangeDragsSelectOnlySupportedAndClearAnything) {
  showEntireRange(true);
  const std::optional<uint16_t> gap = unsupportedRun(0x0590, 6);
  ASSERT_TRUE(gap) << "DejaVu Sans lacks some code units";
  // A project may carry code units the font lacks: a right drag clears them.
  for (int i = 0; i < 6; ++i) state_.selection[*gap + i] = 1;
  drag(*gap, *gap + 5, Qt::RightButton);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(state_.selection[*gap + i], 0) << i;
  // A left drag over them leaves them unselected.
  drag(*gap + 5, *gap, Qt::LeftButton);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(state_.selection[*gap + i], 0) << i;

  // A left drag over supported code units selects the run between anchor and pointer.
  click("SpeedButton4");
  drag(0x41, 0x5A, Qt::LeftButton);  // 'A' .. 'Z', across two rows
  for (uint32_t c = 0x30; c < 0x70; ++c) EXPECT_EQ(state_.selection[c] != 0, c >= 0x41 && c <= 0x5A) << c;
  EXPECT_EQ(state_.tables.selectedCount, 26u);
}

TEST_F(RangeEditorTest, ClicksKeepOrClearBySelectingButton) {
  showEntireRange(true);
  click("SpeedButton4");
  QWidget* vp = grid()->viewport();
  QTest::mouseClick(vp, Qt::LeftButton, {}, centreOf('B'));
  EXPECT_EQ(state_.selection['B'], 1);
  QTest::mouseClick(vp, Qt::LeftButton, {}, centreOf('B'));
  EXPECT_EQ(state_.selection['B'], 1) << "a left click on a selected cell keeps it";
  EXPECT_EQ(grid()->currentCell(), 'B');
  QTest::mouseClick(vp, Qt::MiddleButton, {}, centreOf('B'));
  EXPECT_EQ(state_.selection['B'], 0);
  EXPECT_EQ(editor_->model().dragMode(), DragMode::None);
  // Moving after the release paints nothing.
  hover('C');
  EXPECT_EQ(state_.selection['C'], 0);
}

TEST_F(RangeEditorTest, ADragLeavingTheGridPaintsOnlyWhatItCrossedInside) {
  showEntireRange(true);
  click("SpeedButton4");
  grid()->setTopRow(0);
  QWidget* vp = grid()->viewport();
  QTest::mousePress(vp, Qt::LeftButton, {}, centreOf('A'));
  const QPoint inside = centreOf('C');
  QMouseEvent move(QEvent::MouseMove, QPointF(inside), vp->mapToGlobal(QPointF(inside)), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(vp, &move);
  // Far below the visible rows: no cell, so the run is not stretched to an unseen row.
  const QPoint outside(inside.x(), vp->height() + 200);
  QMouseEvent away(QEvent::MouseMove, QPointF(outside), vp->mapToGlobal(QPointF(outside)), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(vp, &away);
  QTest::mouseRelease(vp, Qt::LeftButton, {}, outside);
  EXPECT_EQ(editor_->model().dragMode(), DragMode::None);
  EXPECT_EQ(CountSelected(state_.selection), 3u);
  EXPECT_TRUE(state_.selection['A'] && state_.selection['B'] && state_.selection['C']);
}

TEST_F(RangeEditorTest, HoveringShowsCharacterInfo) {
  showEntireRange(true);
  hover('A');
  EXPECT_EQ(label("Label4"), "U+0041");
  EXPECT_EQ(label("Label5"), "Basic Latin");
  EXPECT_EQ(label("Label7"), "yes");
  auto* supported = editor_->findChild<QLabel*>(QStringLiteral("Label7"));
  EXPECT_EQ(supported->palette().color(QPalette::WindowText), QColor(0, 128, 0));

  hover(0x0700);
  EXPECT_EQ(label("Label4"), "U+0700");
  EXPECT_EQ(label("Label5"), "");

  const std::optional<uint16_t> gap = unsupportedRun(0x0590, 1);
  ASSERT_TRUE(gap);
  hover(*gap);
  EXPECT_EQ(label("Label7"), "no");
  EXPECT_EQ(supported->palette().color(QPalette::WindowText), QColor(255, 0, 0));

  // A blank cell of the supported view changes nothing.
  showEntireRange(false);
  supportOnlyPrintableAscii();
  hover(3);
  EXPECT_EQ(label("Label4"), "U+0023");
  hover(100);
  EXPECT_EQ(label("Label4"), "U+0023");
}

TEST_F(RangeEditorTest, JumpListMovesTheTopRowToTheBlock) {
  showEntireRange(true);
  EXPECT_TRUE(jumpList()->isEnabled());
  const int columns = editor_->model().columns();
  editor_->ComboBox1Change(1);  // "Latin-1 Supplement"
  EXPECT_EQ(grid()->topRow(), 0x80 / columns);
  EXPECT_EQ(grid()->currentCell(), 0x80);
  editor_->ComboBox1Change(26);  // "Latin Extended Additional"
  EXPECT_EQ(grid()->topRow(), 0x1E00 / columns);
  EXPECT_EQ(grid()->currentCell(), 0x1E00);
  showEntireRange(false);
  EXPECT_FALSE(jumpList()->isEnabled());
}

TEST_F(RangeEditorTest, CellsShowTintHighlightAndGlyphFromTheCache) {
  showEntireRange(true);
  grid()->setTopRow(0x370 / 15);  // the start of Greek
  auto pixelAt = [&](int64_t cell, int dx, int dy) {
    const QImage shot = grid()->viewport()->grab().toImage();
    const QRect r = grid()->cellRect(cell);
    return QColor(shot.pixel(r.left() + dx, r.top() + dy));
  };
  ASSERT_EQ(state_.selection[0x3A9], 0);
  EXPECT_EQ(pixelAt(0x3A9, 1, 1), QColor(0xF0, 0xFF, 0xF0)) << "Greek tint";
  useColour()->click();
  EXPECT_EQ(pixelAt(0x3A9, 1, 1), QColor(Qt::white));
  useColour()->click();
  state_.selection[0x3A9] = 1;
  EXPECT_EQ(pixelAt(0x3A9, 1, 1), grid()->palette().color(QPalette::Highlight));

  // The glyph of a supported code unit is drawn in black inside its cell; U+0378 (unassigned) is not.
  auto darkPixels = [&](int64_t cell) {
    const QImage shot = grid()->viewport()->grab().toImage();
    const QRect r = grid()->cellRect(cell).adjusted(1, 1, -1, -1);
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) n += qGray(shot.pixel(x, y)) < 100;
    return n;
  };
  ASSERT_TRUE(state_.tables.fontSupport[0x3A3]);
  ASSERT_FALSE(state_.tables.fontSupport[0x378]);
  EXPECT_GT(darkPixels(0x3A3), 10);
  EXPECT_EQ(darkPixels(0x378), 0);

  // Repaints copy the cached pictures; nothing is rasterised again.
  grid()->viewport()->grab();
  const int rasterised = editor_->glyphCache().rasterisedCount();
  EXPECT_GT(rasterised, 0);
  grid()->viewport()->grab();
  grid()->viewport()->grab();
  EXPECT_EQ(editor_->glyphCache().rasterisedCount(), rasterised);
  // Only the cells in view were rasterised, not the whole font.
  EXPECT_LE(rasterised, 15 * (grid()->visibleRows() + 1));
}

TEST_F(RangeEditorTest, CancelAfterSelectAllRestoresSelectionAndCount) {
  const CharacterSelection before = state_.selection;
  const uint32_t countBefore = state_.tables.selectedCount;
  click("SpeedButton3");
  uint32_t supported = 0;
  for (uint8_t s : state_.tables.fontSupport) supported += s != 0;
  EXPECT_EQ(state_.tables.selectedCount, supported);
  EXPECT_EQ(label("Label6"), QString::number(supported) + " Characters Selected.");
  click("SpeedButton2");
  EXPECT_FALSE(editor_->finishEditing());
  EXPECT_EQ(state_.selection, before);
  EXPECT_EQ(state_.tables.selectedCount, countBefore);
}

TEST_F(RangeEditorTest, AcceptAfterSelectNoneKeepsTheEmptySelectionAndRemeasures) {
  click("SpeedButton4");
  EXPECT_EQ(label("Label6"), "0 Characters Selected.");
  click("SpeedButton1");
  EXPECT_TRUE(editor_->finishEditing());
  EXPECT_EQ(CountSelected(state_.selection), 0u);
  EXPECT_EQ(state_.tables.selectedCount, 0u);
  EXPECT_FALSE(state_.fontChanged) << "the accept's measurement refreshed the support";
}

TEST_F(RangeEditorTest, RunEditorIsModalAndAClosedWindowCountsAsCancel) {
  editor_->hide();
  editor_->finishEditing();
  const CharacterSelection before = state_.selection;
  QTimer::singleShot(0, editor_.get(), [&] {
    click("SpeedButton3");
    editor_->close();
  });
  EXPECT_FALSE(editor_->runEditor(font_));
  EXPECT_EQ(state_.selection, before);

  QTimer::singleShot(0, editor_.get(), [&] {
    click("SpeedButton3");
    click("SpeedButton1");
  });
  EXPECT_TRUE(editor_->runEditor(font_));
  EXPECT_GT(state_.tables.selectedCount, 1000u);
  EXPECT_EQ(state_.tables.selectedCount, CountSelected(state_.selection));
}

TEST(RangeEditorModel, SyncSupportedListRebuildsAListThatDoesNotMatchTheSupport) {
  CharacterSelection selection{};
  FontTables tables;
  // Every code unit supported (ranges unreadable) while the list still holds an old font's three.
  std::fill(tables.fontSupport.begin(), tables.fontSupport.end(), 1);
  tables.supportedCount = 3;
  tables.supportedList[0] = 65;
  tables.supportedList[1] = 66;
  tables.supportedList[2] = 67;
  SyncSupportedList(tables);
  ASSERT_EQ(tables.supportedCount, 65536);
  EXPECT_EQ(tables.supportedList[0], 0u);
  EXPECT_EQ(tables.supportedList[65535], 65535u);

  // A consistent list is left alone.
  std::fill(tables.fontSupport.begin(), tables.fontSupport.end(), 0);
  tables.fontSupport[70] = tables.fontSupport[90] = 1;
  tables.supportedCount = 2;
  tables.supportedList[0] = 70;
  tables.supportedList[1] = 90;
  SyncSupportedList(tables);
  EXPECT_EQ(tables.supportedCount, 2);
  EXPECT_EQ(tables.supportedList[1], 90u);

  // A count beyond the table never reads past it.
  RangeEditorModel model(selection, tables);
  tables.supportedCount = 1 << 20;
  EXPECT_EQ(model.viewCount(), 65536);
  tables.supportedCount = -5;
  EXPECT_EQ(model.viewCount(), 0);
  EXPECT_EQ(model.codeUnitAt(0), std::nullopt);
}

TEST(RangeEditorFallbacks, ACharacterFromAFallbackIsSupportedDrawnFromItAndNamed) {
  AppState state;
  SetDefaultSelection(state.selection);
  state.fontChanged = true;
  state.extras.fallbacks = {{kFallbackFile, 0, "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf"}};
  TForm2 editor(state);
  std::string error;
  ASSERT_TRUE(editor.beginEditing(FontRequest{"DejaVu Sans", 32, false, false}, &error)) << error;
  editor.show();
  auto* entire = editor.findChild<QCheckBox*>(QStringLiteral("CheckBox1"));
  entire->setChecked(true);
  constexpr uint16_t kCjk = 0x4E2D;
  EXPECT_EQ(state.tables.fontSupport[kCjk], 1);
  EXPECT_EQ(state.tables.glyphFont[kCjk], 1);
  RangeEditorGrid* grid = editor.grid();
  const int64_t cell = kCjk;  // in the entire-range view a cell's index is its code unit
  const int row = static_cast<int>(cell / editor.model().columns());
  grid->setTopRow(row);
  const QPoint p = grid->cellRect(cell).center();
  QMouseEvent move(QEvent::MouseMove, QPointF(p), grid->viewport()->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(grid->viewport(), &move);
  EXPECT_EQ(editor.findChild<QLabel*>(QStringLiteral("Label7"))->text(), "yes, from DroidSansFallbackFull.ttf");

  // The cell's picture is the fallback's glyph, not the chosen font's missing-glyph box.
  const GlyphCellImage* drawn = editor.glyphCache().glyph(kCjk, 1);
  ASSERT_NE(drawn, nullptr);
  std::unique_ptr<FontFace> droid = FontFace::OpenResolved(FontRequest{"x", kRangeGridPointSize, false, false},
                                                           state.tables.fallbacks.fonts.at(0), &error);
  ASSERT_TRUE(droid) << error;
  GlyphImage expected;
  ASSERT_TRUE(droid->renderGlyph(kCjk, kAntialiasSmooth, &expected));
  EXPECT_EQ(drawn->image.width(), expected.width);
  EXPECT_EQ(drawn->image.height(), expected.rows);
  EXPECT_EQ(drawn->x, expected.left);
  editor.hide();
}

}  // namespace
}  // namespace glyphmill
