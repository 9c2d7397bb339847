// The status bar: message kinds, the 41-band gradients and what the drawn panels show.

#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>

#include "ui/status_bar.h"
#include "ui_test_support.h"

namespace glyphmill::testing {
namespace {

TEST(StatusKinds, OnlyTheFirstCharacterDecides) {
  EXPECT_EQ(StatusKindOf(".Complete."), StatusKind::Success);
  EXPECT_EQ(StatusKindOf("!Cant fit"), StatusKind::Error);
  EXPECT_EQ(StatusKindOf("Idle"), StatusKind::Plain);
  EXPECT_EQ(StatusKindOf(""), StatusKind::Plain);
  EXPECT_EQ(StatusKindOf("a.b!"), StatusKind::Plain);
  EXPECT_EQ(ShownStatusText(".Complete."), "Complete.");
  EXPECT_EQ(ShownStatusText("."), "");
  EXPECT_EQ(ShownStatusText("!"), "");
  EXPECT_EQ(ShownStatusText("Idle"), "Idle");
  EXPECT_TRUE(StatusGradientBands(StatusKind::Plain, 0, 100).empty());
}

TEST(StatusGradient, FortyOneBandsTheLastTakingTheRest) {
  const auto even = StatusGradientBands(StatusKind::Success, 0, 205);
  ASSERT_EQ(even.size(), 41u);
  for (const StatusBand& band : even) EXPECT_EQ(band.right - band.left, 5);
  const auto wide = StatusGradientBands(StatusKind::Error, 10, 220);  // 210 pixels
  ASSERT_EQ(wide.size(), 41u);
  EXPECT_EQ(wide.front().left, 10);
  EXPECT_EQ(wide[39].right - wide[39].left, 5);
  EXPECT_EQ(wide.back().left, 10 + 200);
  EXPECT_EQ(wide.back().right, 220);
  for (size_t i = 1; i < wide.size(); ++i) EXPECT_EQ(wide[i].left, wide[i - 1].right);
}

TEST(StatusGradient, RunsFromTheLeftColourToTheRightColour) {
  const auto green = StatusGradientBands(StatusKind::Success, 0, 410);
  EXPECT_EQ(green.front().colour, QColor(117, 255, 117));
  EXPECT_EQ(green.back().colour, QColor(224, 223, 227));
  // Band 20 is the middle: (117+224)/2 = 170.5 -> 170 (halves to even), (255+223)/2 = 239,
  // (117+227)/2 = 172.
  EXPECT_EQ(green[20].colour, QColor(170, 239, 172));
  const auto red = StatusGradientBands(StatusKind::Error, 0, 410);
  EXPECT_EQ(red.front().colour, QColor(255, 180, 180));
  EXPECT_EQ(red.back().colour, QColor(250, 100, 100));
  EXPECT_EQ(red[20].colour, QColor(252, 140, 140));  // 252.5 -> 252
}

// The colour drawn at the middle row of a panel, `fromLeft` pixels into it.
QColor Sample(const QImage& shot, const QRect& panel, int fromLeft) {
  return shot.pixelColor(panel.left() + fromLeft, panel.top() + panel.height() / 2);
}

TEST(StatusBarDrawing, NoticesShowTheirGradientWithoutTheMarker) {
  WindowFixture f;
  TForm1& w = *f.window;
  StatusBar* bar = w.ui.statBar;
  const QRect panel = bar->panelRect(0);
  ASSERT_GT(panel.width(), 300);
  EXPECT_EQ(panel.width(), bar->width() - 120);

  w.SetStatus(".Complete.");
  QImage shot = bar->grab().toImage();
  EXPECT_EQ(Sample(shot, panel, 1), QColor(117, 255, 117));
  EXPECT_EQ(Sample(shot, panel, panel.width() - 2), QColor(224, 223, 227));
  EXPECT_EQ(bar->message(), ".Complete.");

  w.SetStatus("!Cant fit in the last 30 characters! Try increasing the Texture Size.");
  shot = bar->grab().toImage();
  EXPECT_EQ(Sample(shot, panel, 1), QColor(255, 180, 180));
  EXPECT_EQ(Sample(shot, panel, panel.width() - 2), QColor(250, 100, 100));

  w.SetStatus("Idle");
  shot = bar->grab().toImage();
  EXPECT_EQ(Sample(shot, panel, panel.width() - 2), bar->palette().color(QPalette::Button));
  // The second panel: the selected-character count.
  EXPECT_EQ(bar->characters(), std::to_string(w.state().tables.selectedCount) + " Characters");
}

TEST(StatusBarDrawing, TheMarkerIsNotDrawn) {
  // A success notice "." alone draws nothing but the gradient; ".x" draws ink.
  QImage empty(200, 20, QImage::Format_RGB32), withText(200, 20, QImage::Format_RGB32);
  QFont font("DejaVu Sans");
  font.setPixelSize(12);
  {
    QPainter p(&empty);
    DrawStatusPanel(p, QRect(0, 0, 200, 20), ".", font, QPalette());
  }
  {
    QPainter p(&withText);
    DrawStatusPanel(p, QRect(0, 0, 200, 20), ".MMMM", font, QPalette());
  }
  int changed = 0;
  for (int x = 0; x < 60; ++x)
    for (int y = 0; y < 20; ++y) changed += empty.pixel(x, y) != withText.pixel(x, y);
  EXPECT_GT(changed, 20);
  // The gradient of "." alone is uniform down each column.
  for (int x = 0; x < 200; x += 7) EXPECT_EQ(empty.pixel(x, 2), empty.pixel(x, 17));
}

}  // namespace
}  // namespace glyphmill::testing
