// The texture view's zoom (steps, keys, wheel about the pointer, fit), the pixel under the pointer
// at 800 %, middle-button panning, the Composite page's pixels, and inspecting a cell by hovering.

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <QWheelEvent>

#include "ui/composite_image.h"
#include "ui/texture_inspector.h"
#include "ui/texture_view.h"
#include "ui_test_support.h"

namespace glyphmill::testing {
namespace {

// A colour image whose every pixel names itself (red = x, green = y) and a mask that is a
// horizontal ramp.
QImage Numbered(int size) {
  QImage image(size, size, QImage::Format_RGB888);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) image.setPixelColor(x, y, QColor(x, y, 77));
  return image;
}
QImage Ramp(int size) {
  QImage image(size, size, QImage::Format_RGB888);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      image.setPixelColor(x, y, QColor(x * 255 / (size - 1), x * 255 / (size - 1), x * 255 / (size - 1)));
  return image;
}

struct ViewFixture {
  TextureView view;
  explicit ViewFixture(int imageSize = 64) {
    view.resize(300, 260);
    view.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.setImages(Numbered(imageSize), Ramp(imageSize));
    view.layoutScrollBars(imageSize, imageSize);
  }
  void moveTo(QPoint panelPos) {
    QWidget* target = view.panel()->childAt(panelPos);
    if (!target) target = view.panel();
    const QPoint local = target->mapFrom(view.panel(), panelPos);
    QMouseEvent move(QEvent::MouseMove, QPointF(local), target->mapToGlobal(QPointF(local)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(target, &move);
  }
  void wheel(QPoint panelPos, int delta, Qt::KeyboardModifiers modifiers) {
    QWidget* target = view.panel()->childAt(panelPos);
    if (!target) target = view.panel();
    const QPoint local = target->mapFrom(view.panel(), panelPos);
    QWheelEvent event(QPointF(local), target->mapToGlobal(QPointF(local)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
  }
};

// ---- zoom steps

TEST(TextureZoomSteps, InAndOutWalkTheStepsAndStopAtTheEnds) {
  ViewFixture f;
  std::vector<int> up;
  for (int i = 0; i < 8; ++i) {
    f.view.zoomIn();
    up.push_back(static_cast<int>(std::lround(f.view.zoomScale() * 100)));
  }
  EXPECT_EQ(up, (std::vector<int>{150, 200, 300, 400, 600, 800, 800, 800}));
  EXPECT_EQ(f.view.zoomLabel()->text(), "800%");
  EXPECT_FALSE(f.view.zoomInAction()->isEnabled());
  std::vector<int> down;
  for (int i = 0; i < 11; ++i) {
    f.view.zoomOut();
    down.push_back(static_cast<int>(std::lround(f.view.zoomScale() * 100)));
  }
  EXPECT_EQ(down, (std::vector<int>{600, 400, 300, 200, 150, 100, 67, 50, 33, 25, 25}));
  EXPECT_FALSE(f.view.zoomOutAction()->isEnabled());
  f.view.zoomActualSize();
  EXPECT_EQ(f.view.zoomScale(), 1.0);
}

TEST(TextureZoomSteps, KeysOfTheWindowZoom) {
  ViewFixture f;
  QTest::keyClick(&f.view, Qt::Key_Plus, Qt::ControlModifier);
  EXPECT_EQ(f.view.zoomScale(), 1.5);
  QTest::keyClick(&f.view, Qt::Key_Equal, Qt::ControlModifier);  // "+" without Shift
  EXPECT_EQ(f.view.zoomScale(), 2.0);
  QTest::keyClick(&f.view, Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_EQ(f.view.zoomScale(), 1.5);
  QTest::keyClick(&f.view, Qt::Key_0, Qt::ControlModifier);
  EXPECT_EQ(f.view.zoomScale(), 1.0);
}

TEST(TextureZoomSteps, FitShowsTheWholeTextureInThePanel) {
  ViewFixture f(512);
  f.view.zoomToFit();
  const QSize panel = f.view.panel()->size();
  EXPECT_DOUBLE_EQ(f.view.zoomScale(), std::min(panel.width() / 512.0, panel.height() / 512.0));
  EXPECT_LE(f.view.colourPicture()->width(), panel.width());
  EXPECT_LE(f.view.colourPicture()->height(), panel.height());
  EXPECT_FALSE(f.view.horizontalBar()->isEnabled());
  EXPECT_FALSE(f.view.verticalBar()->isEnabled());
  // A tiny texture fits at most at 800 %.
  ViewFixture small(4);
  small.view.zoomToFit();
  EXPECT_EQ(small.view.zoomScale(), 8.0);
}

TEST(TextureZoomSteps, CtrlWheelZoomsAboutThePointerAndAPlainWheelScrolls) {
  ViewFixture f(400);
  const QPoint pointer(40, 50);
  const QPoint before = f.view.imagePixelAtPanel(pointer);
  f.wheel(pointer, 120, Qt::ControlModifier);
  f.wheel(pointer, 120, Qt::ControlModifier);
  f.wheel(pointer, 120, Qt::ControlModifier);
  EXPECT_EQ(f.view.zoomScale(), 3.0);
  EXPECT_EQ(f.view.imagePixelAtPanel(pointer), before);
  const int top = f.view.verticalBar()->value();
  f.wheel(pointer, -120, Qt::NoModifier);
  EXPECT_GT(f.view.verticalBar()->value(), top);
  EXPECT_EQ(f.view.zoomScale(), 3.0);
  f.wheel(pointer, -120, Qt::ControlModifier);
  EXPECT_EQ(f.view.zoomScale(), 2.0);
}

// ---- the pixel under the pointer

TEST(TextureZoomPixels, At800PercentEveryScreenPixelShowsTheTexturePixelUnderIt) {
  ViewFixture f;
  f.view.setZoom(8.0);
  ASSERT_TRUE(f.view.horizontalBar()->isEnabled());
  f.view.horizontalBar()->setValue(101);
  f.view.verticalBar()->setValue(37);
  const QImage shown = f.view.panel()->grab().toImage();
  int checked = 0;
  for (QPoint p : {QPoint(0, 0), QPoint(6, 2), QPoint(7, 3), QPoint(8, 4), QPoint(150, 99), QPoint(233, 177)}) {
    const QPoint pixel((p.x() + 101) / 8, (p.y() + 37) / 8);
    EXPECT_EQ(f.view.imagePixelAtPanel(p), pixel);
    EXPECT_EQ(shown.pixelColor(p), QColor(pixel.x(), pixel.y(), 77)) << p.x() << "," << p.y();
    ++checked;
  }
  EXPECT_EQ(checked, 6);
  // The pointer's report names the same pixel.
  QPoint reported(-1, -1);
  QObject::connect(&f.view, &TextureView::pointerOverPixel, [&](QPoint pixel) { reported = pixel; });
  f.moveTo(QPoint(150, 99));
  EXPECT_EQ(reported, QPoint((150 + 101) / 8, (99 + 37) / 8));
}

TEST(TextureZoomPixels, EveryPageKeepsOneZoomAndPosition) {
  ViewFixture f;
  f.view.setZoom(8.0);
  f.view.horizontalBar()->setValue(30);
  f.view.verticalBar()->setValue(12);
  for (int page : {TextureView::kMaskPage, TextureView::kCompositePage, TextureView::kFontPage}) {
    f.view.showPage(page);
    EXPECT_EQ(f.view.zoomScale(), 8.0);
    EXPECT_EQ(f.view.horizontalBar()->value(), 30);
    EXPECT_EQ(f.view.verticalBar()->value(), 12);
  }
  // The composite is made when its page is first shown; from then on all three move together.
  for (TexturePicture* picture : std::initializer_list<TexturePicture*>{f.view.colourPicture(), f.view.maskPicture(),
                                                                        f.view.compositePicture()}) {
    EXPECT_EQ(picture->pos(), QPoint(-30, -12));
    EXPECT_EQ(picture->size(), QSize(512, 512));
  }
}

TEST(TextureZoomPixels, MiddleButtonDragPans) {
  ViewFixture f;
  f.view.setZoom(8.0);
  f.view.horizontalBar()->setValue(100);
  f.view.verticalBar()->setValue(50);
  QWidget* picture = f.view.colourPicture();
  const QPoint start(100, 100);
  QTest::mousePress(picture, Qt::MiddleButton, {}, start);
  QMouseEvent move(QEvent::MouseMove, QPointF(start - QPoint(40, 25)),
                   picture->mapToGlobal(QPointF(start - QPoint(40, 25))), Qt::NoButton, Qt::MiddleButton,
                   Qt::NoModifier);
  QApplication::sendEvent(picture, &move);
  QTest::mouseRelease(picture, Qt::MiddleButton, {}, start - QPoint(40, 25));
  EXPECT_EQ(f.view.horizontalBar()->value(), 140);
  EXPECT_EQ(f.view.verticalBar()->value(), 75);
}

// ---- the Composite page

TEST(CompositePage, ColourBlendsByTheMaskOverTheCheckerboard) {
  QImage colour(32, 2, QImage::Format_RGB888), mask(32, 2, QImage::Format_RGB888);
  colour.fill(QColor(200, 40, 10));
  mask.fill(Qt::black);
  mask.setPixelColor(3, 0, QColor(255, 255, 255));
  mask.setPixelColor(9, 0, QColor(128, 128, 128));
  mask.setPixelColor(10, 1, QColor(128, 128, 128));
  const QImage c = CompositeImage(colour, mask, std::nullopt);
  // No coverage: the checkerboard, light and dark squares of eight pixels.
  EXPECT_EQ(c.pixelColor(0, 0), kCheckerLight);
  EXPECT_EQ(c.pixelColor(8, 0), kCheckerDark);
  EXPECT_EQ(c.pixelColor(16, 1), kCheckerLight);
  // Full coverage: the colour exactly.
  EXPECT_EQ(c.pixelColor(3, 0), QColor(200, 40, 10));
  // 128: round(c * a + d * (1 - a)), a = 128 / 255, over dark grey 204.
  const float a = 128.0f / 255.0f;
  const auto blend = [a](int top, int under) { return static_cast<int>(std::lrint(top * a + under * (1.0f - a))); };
  EXPECT_EQ(c.pixelColor(9, 0), QColor(blend(200, 204), blend(40, 204), blend(10, 204)));
  EXPECT_EQ(c.pixelColor(10, 1), QColor(blend(200, 204), blend(40, 204), blend(10, 204)));
  // A chosen backdrop instead of the checkerboard.
  const QImage black = CompositeImage(colour, mask, QColor(Qt::black));
  EXPECT_EQ(black.pixelColor(0, 0), QColor(Qt::black));
  EXPECT_EQ(black.pixelColor(9, 0), QColor(blend(200, 0), blend(40, 0), blend(10, 0)));
}

// Zoomed, the composite samples the page with linear filtering as an engine does: a classic page
// (white text blended over a black background) darkens the edge between an opaque and a clear
// texel, a straight page (white everywhere) does not, and a premultiplied one matches it.
TEST(CompositePage, ZoomedTheCompositeFiltersThePageAsAnEngineDoes) {
  QImage classic(2, 1, QImage::Format_RGB888), straight(2, 1, QImage::Format_RGB888),
      premultiplied(2, 1, QImage::Format_RGB888), mask(2, 1, QImage::Format_RGB888);
  classic.setPixelColor(0, 0, Qt::white);
  classic.setPixelColor(1, 0, Qt::black);
  straight.fill(Qt::white);
  premultiplied.setPixelColor(0, 0, Qt::white);
  premultiplied.setPixelColor(1, 0, Qt::black);
  mask.setPixelColor(0, 0, Qt::white);
  mask.setPixelColor(1, 0, Qt::black);
  const QColor backdrop(Qt::white);
  const QRect all(0, 0, 8, 4);  // the 2 x 1 texture at 400 %
  const QImage c = FilteredComposite(classic, mask, backdrop, PageAlpha::Straight, 4.0, all);
  const QImage s = FilteredComposite(straight, mask, backdrop, PageAlpha::Straight, 4.0, all);
  const QImage p = FilteredComposite(premultiplied, mask, backdrop, PageAlpha::Premultiplied, 4.0, all);
  ASSERT_EQ(c.size(), QSize(8, 4));
  // Screen column 4 samples 5/8 of the way from texel 0 to texel 1: alpha and the classic colour
  // both 3/8 of full, so the classic page shows 255 * 3/8 * 3/8 + 255 * 5/8 = 195.2, a grey rim.
  const int rim = static_cast<int>(std::lrint(255.0 * 0.375 * 0.375 + 255.0 * 0.625));
  EXPECT_EQ(c.pixelColor(4, 1), QColor(rim, rim, rim));
  EXPECT_EQ(s.pixelColor(4, 1), QColor(Qt::white));
  EXPECT_EQ(p.pixelColor(4, 1), QColor(Qt::white));
  // The texel centres themselves are exact, at the edges clamped.
  EXPECT_EQ(c.pixelColor(0, 0), QColor(Qt::white));
  EXPECT_EQ(c.pixelColor(7, 3), QColor(Qt::white));
}

TEST(CompositePage, TheThirdTabShowsTheCompositeOfTheViewsImages) {
  ViewFixture f;
  f.view.tabBar()->setCurrentIndex(TextureView::kCompositePage);
  f.view.showPage(TextureView::kCompositePage);
  ASSERT_TRUE(f.view.compositePicture()->isVisibleTo(&f.view));
  EXPECT_FALSE(f.view.colourPicture()->isVisibleTo(&f.view));
  const QImage shown = f.view.panel()->grab().toImage();
  // Column 0 has no coverage (the checkerboard), column 63 full coverage (the colour).
  EXPECT_EQ(shown.pixelColor(0, 20), CheckerColourAt(0, 20));
  EXPECT_EQ(shown.pixelColor(63, 20), QColor(63, 20, 77));
  f.view.setBackdrop(QColor(Qt::white));
  EXPECT_EQ(f.view.compositePicture()->image().pixelColor(0, 20), QColor(Qt::white));
  // New images make a new composite.
  f.view.setImages(Numbered(64).mirrored(true, false), Ramp(64));
  EXPECT_EQ(f.view.compositePicture()->image().pixelColor(63, 20), QColor(0, 20, 77));
}

// ---- inspecting

TEST(TextureInspect, TextNamesGlyphCodeUnitBlockCellAndAdvances) {
  PlacedCharacter a;
  a.codeUnit = 0x00C4;
  a.cellX = 40, a.cellY = 8, a.cellWidth = 21, a.cellHeight = 37;
  a.advanceBefore = 1, a.advanceAfter = 22;
  EXPECT_EQ(InspectText(a), QString::fromUtf8("“Ä” U+00C4 Latin-1 Supplement — cell 40, 8, 21 × 37 — "
                                              "advances 1 before, 22 after"));
  PlacedCharacter outside;
  outside.codeUnit = 0x2FE0;  // unassigned and in no block: no glyph, no block name
  EXPECT_TRUE(InspectText(outside).startsWith(QString::fromUtf8("U+2FE0 — cell")))
      << InspectText(outside).toStdString();
  // Only placed characters count.
  std::vector<PlacedCharacter> table{a, a};
  table[1].cellX = 100;
  EXPECT_EQ(PlacedCellAt(table, {1, 1}, 100, 8), std::optional<std::size_t>(1));
  EXPECT_EQ(PlacedCellAt(table, {1, 0}, 100, 8), std::nullopt);
  EXPECT_EQ(PlacedCellAt(table, {1, 1}, 61, 8), std::nullopt);  // right edge excluded
  // Placement's order is not the table's: a later record can be placed while an earlier one is not.
  EXPECT_EQ(PlacedCellAt(table, {0, 1}, 100, 8), std::optional<std::size_t>(1));
  EXPECT_EQ(PlacedCellAt(table, {0, 1}, 40, 8), std::nullopt);
}

TEST(TextureInspect, HoveringACellOfAGeneratedTextureFramesItAndNamesIt) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.CheckBox8->setChecked(false);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  w.ui.txtWidth->setEditText("512");
  w.ui.txtHeight->setEditText("512");
  w.ui.Button3->click();
  w.ui.Button1->click();
  ASSERT_TRUE(WaitForGeneration(w));
  const AppState& s = w.state();
  const auto found = std::find_if(s.result.chars.begin(), s.result.chars.end(),
                                  [](const PlacedCharacter& c) { return c.codeUnit == 'A'; });
  ASSERT_NE(found, s.result.chars.end());
  const PlacedCharacter cell = *found;
  TextureView* view = w.ui.Tab;
  view->setZoom(2.0);
  view->horizontalBar()->setValue(0);
  view->verticalBar()->setValue(0);
  view->horizontalBar()->setValue(static_cast<int>(cell.cellX * 2 - 20));
  view->verticalBar()->setValue(static_cast<int>(cell.cellY * 2 - 20));
  const QPoint centre =
      (QPointF(cell.cellX + cell.cellWidth / 2.0, cell.cellY + cell.cellHeight / 2.0) * 2.0).toPoint() +
      view->colourPicture()->pos();
  QWidget* picture = view->colourPicture();
  QMouseEvent move(QEvent::MouseMove, QPointF(picture->mapFrom(view->panel(), centre)),
                   picture->mapToGlobal(QPointF(picture->mapFrom(view->panel(), centre))), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(picture, &move);
  EXPECT_EQ(view->hoverText(), InspectText(cell));
  EXPECT_TRUE(view->hoverText().startsWith(QString::fromUtf8("“A” U+0041 Basic Latin — cell ")));
  EXPECT_EQ(view->markedCell(), CellRect(cell));
  // The frame is drawn on the cell's outermost screen pixels.
  const QImage shown = picture->grab().toImage();
  EXPECT_EQ(shown.pixelColor(cell.cellX * 2, cell.cellY * 2 + 5), QColor(255, 0, 255));
  // Leaving the texture removes frame and text.
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(view->panel(), &leave);
  EXPECT_TRUE(view->hoverText().isEmpty());
  EXPECT_TRUE(view->markedCell().isEmpty());
}

}  // namespace
}  // namespace glyphmill::testing
