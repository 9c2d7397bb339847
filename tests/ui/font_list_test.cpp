// The font list: its rows (kind icon, name, sample in the font), the sample word and the width of
// the dropped-down list.

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QStyleOptionViewItem>

#include "ui/font_list_delegate.h"
#include "ui_test_support.h"

namespace glyphmill::testing {
namespace {

TEST(FontList, SampleWord) {
  EXPECT_EQ(FontSampleWord("DejaVu Sans"), "Sample");
  EXPECT_EQ(FontSampleWord("Comic Sans MS"), "YUCK!");
  EXPECT_EQ(FontSampleWord("comic sans ms"), "Sample");  // exact name only
}

TEST(FontList, WidthsStartFromTheListAndCoverEveryName) {
  FontCatalogue catalogue;
  catalogue.entries = {{"DejaVu Sans", 0}, {"A much longer family name than the list is wide", 0}};
  const FontListWidths narrow = MeasureFontList(catalogue, 50);
  EXPECT_GT(narrow.nameColumn, 50 - 18);
  EXPECT_GT(narrow.widestSample, 0);
  EXPECT_EQ(narrow.dropDownWidth(), narrow.nameColumn + narrow.widestSample + 30);
  const FontListWidths wide = MeasureFontList(catalogue, 2000);
  EXPECT_EQ(wide.nameColumn, 2000 - 18);
  EXPECT_EQ(MeasureFontList(FontCatalogue{}, 100).widestSample, 0);
}

TEST(FontList, RowShowsIconNameAndSampleOnWhite) {
  FontCatalogue catalogue;
  catalogue.entries = {{"DejaVu Sans", 0}, {"Liberation Serif", 2}};
  QComboBox box;
  box.addItems({"DejaVu Sans", "Liberation Serif"});
  FontListDelegate delegate(catalogue);
  delegate.setNameColumnWidth(120);
  QStyleOptionViewItem option;
  option.rect = QRect(0, 0, 240, FontListDelegate::kRowHeight);
  QImage row(240, FontListDelegate::kRowHeight, QImage::Format_RGB32);
  row.fill(Qt::red);
  {
    QPainter p(&row);
    delegate.paint(&p, option, box.model()->index(1, 0));
  }
  auto inkIn = [&](int from, int to) {
    int n = 0;
    for (int x = from; x < to; ++x)
      for (int y = 0; y < row.height(); ++y) n += row.pixelColor(x, y) != QColor(Qt::white);
    return n;
  };
  EXPECT_EQ(row.pixelColor(239, 0), QColor(Qt::white));  // filled white
  EXPECT_GT(inkIn(2, 18), 10);                           // the icon
  EXPECT_GT(inkIn(18, 138), 20);                         // the name
  EXPECT_GT(inkIn(138, 240), 20);                        // the sample
  // Other kinds of font get another icon.
  QImage other(240, FontListDelegate::kRowHeight, QImage::Format_RGB32);
  {
    QPainter p(&other);
    delegate.paint(&p, option, box.model()->index(0, 0));
  }
  EXPECT_NE(row.copy(2, 1, 16, 16), other.copy(2, 1, 16, 16));
  EXPECT_EQ(delegate.sizeHint(option, box.model()->index(0, 0)).height(), 18);
}

TEST(FontList, DroppingDownWidensTheList) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.cmbFont->showPopup();
  const FontListWidths expected = MeasureFontList(w.state().catalogue, w.ui.cmbFont->width());
  EXPECT_GE(w.ui.cmbFont->view()->minimumWidth(), expected.dropDownWidth());
  w.ui.cmbFont->hidePopup();
  EXPECT_EQ(w.ui.cmbFont->maxVisibleItems(), 16);
}

}  // namespace
}  // namespace glyphmill::testing
