// The window at its design size and after a resize: positions, anchors, LayoutMainWindow's
// heights, and captions that are never clipped.

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "ui/preview_strip.h"
#include "ui/status_bar.h"
#include "ui/texture_view.h"
#include "ui/widget_placement.h"
#include "ui_test_support.h"

namespace glyphmill::testing {
namespace {

TEST(Layout, DesignSizeAndPlaces) {
  WindowFixture f;
  TForm1& w = *f.window;
  EXPECT_EQ(w.centralWidget()->size(), QSize(828, 679));
  EXPECT_EQ(w.ui.Tab->geometry().topLeft(), QPoint(8, 8));
  EXPECT_EQ(w.ui.Tab->width(), 543);
  EXPECT_EQ(w.ui.Panel1->geometry(), QRect(556, -1, 267, 665));
  EXPECT_EQ(w.ui.Bar->geometry(), QRect(8, 636, 543, 21));
  EXPECT_EQ(w.ui.Edit12->geometry().topLeft(), QPoint(9, 636));
  EXPECT_EQ(w.ui.Button4->geometry().right() + 1, 551);
  EXPECT_EQ(w.ui.statBar->geometry().bottom() + 1, 679);
  // Before the first generation the strip has no height and the view reaches the text box.
  EXPECT_EQ(w.state().tallestCell, 0u);
  EXPECT_EQ(w.ui.Image3->height(), 0);
  EXPECT_EQ(w.ui.Tab->geometry().bottom() + 1, 636 - 2 - 2);
  EXPECT_EQ(w.ui.statBar->firstPanelWidth(), 828 - 120);
}

TEST(Layout, AnchorsFollowAResize) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.resize(w.width() + 100, w.height() + 50);
  Pump(30);
  ASSERT_EQ(w.centralWidget()->size(), QSize(928, 729));
  EXPECT_EQ(w.ui.Panel1->geometry(), QRect(656, -1, 267, 715));
  EXPECT_EQ(w.ui.Bar->geometry(), QRect(8, 686, 643, 21));
  EXPECT_EQ(w.ui.Tab->width(), 643);
  EXPECT_EQ(w.ui.Tab->geometry().bottom() + 1, 686 - 4);
  EXPECT_EQ(w.ui.Button4->geometry().right() + 1, 651);
  EXPECT_EQ(w.ui.statBar->firstPanelWidth(), 928 - 120);
  EXPECT_GE(w.minimumWidth(), 320);
}

TEST(Layout, NoCaptionIsClippedAndNothingLeavesItsGroup) {
  WindowFixture f;
  TForm1& w = *f.window;
  for (QWidget* widget : w.findChildren<QWidget*>()) {
    if (!widget->isVisibleTo(&w)) continue;
    const int room = CaptionRoom(widget);
    if (room > 0) {
      EXPECT_GE(widget->width(), room) << widget->objectName().toStdString();
    }
    if (qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget)) {
      QWidget* parent = widget->parentWidget();
      EXPECT_LE(widget->geometry().right(), parent->width()) << widget->objectName().toStdString();
      EXPECT_LE(widget->geometry().bottom(), parent->height()) << widget->objectName().toStdString();
    }
  }
  // Controls of the settings column do not overlap their neighbours on the same row.
  const QList<QAbstractButton*> buttons = w.ui.Panel1->findChildren<QAbstractButton*>();
  for (QAbstractButton* a : buttons)
    for (QAbstractButton* b : buttons)
      if (a != b && a->parentWidget() == b->parentWidget() && a->isVisibleTo(&w) && b->isVisibleTo(&w)) {
        EXPECT_FALSE(a->geometry().intersects(b->geometry()))
            << a->objectName().toStdString() << " / " << b->objectName().toStdString();
      }
}

TEST(Layout, TheGeneralSettingsPageHoldsItsControlsWhole) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.PageControl1->setCurrentIndex(0);
  QWidget* page = w.ui.PageControl1->currentWidget();
  ASSERT_TRUE(page->isAncestorOf(w.ui.chkFitTexture));
  for (QWidget* widget : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const std::string name = widget->objectName().toStdString();
    EXPECT_GE(widget->x(), 0) << name;
    EXPECT_LE(widget->geometry().right(), page->width()) << name;
    EXPECT_LE(widget->geometry().bottom(), page->height()) << name;
    const int room = CaptionRoom(widget);
    if (room > 0) {
      EXPECT_GE(widget->width(), room) << name;
    }
  }
  // The fit row, the compact check box and the pages box overlap nothing beside them.
  for (QWidget* a : {static_cast<QWidget*>(w.ui.chkFitTexture), static_cast<QWidget*>(w.ui.udFitWidth),
                     static_cast<QWidget*>(w.ui.udFitHeight), static_cast<QWidget*>(w.ui.chkCompactCells),
                     static_cast<QWidget*>(w.ui.udPages)})
    for (QWidget* b : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (a != b) {
        EXPECT_FALSE(a->geometry().intersects(b->geometry()))
            << a->objectName().toStdString() << " / " << b->objectName().toStdString();
      }
    }
}

}  // namespace
}  // namespace glyphmill::testing
