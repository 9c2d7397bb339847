// The rows of the font list `cmbFont`: the font's kind icon (with a small page over its corner for
// a family that came from a font file), its name in 8-point "Tahoma" and a sample word set in the
// font itself at 10 points.
#pragma once

#include <QComboBox>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <vector>

#include "settings/font_catalogue.h"

namespace glyphmill {

// The sample word of a font's row: "Sample", except for "Comic Sans MS", which reads "YUCK!".
QString FontSampleWord(const QString& fontName);

// The list's two measured widths (the font catalogue's widest name in "Tahoma" 8, starting from
// the combo box's width - 18, and its widest "Sample" at 10 points, starting from 0).
struct FontListWidths {
  int nameColumn = 0;
  int widestSample = 0;
  // The drop-down's width: name column + widest sample + 30.
  int dropDownWidth() const { return nameColumn + widestSample + 30; }
};
FontListWidths MeasureFontList(const FontCatalogue& catalogue, int comboWidth);

// The three 16 x 16 font-kind pictures: 0 TrueType, 1 (unused), 2 any other font.
const std::vector<QPixmap>& FontKindIcons();

class FontListDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  static constexpr int kRowHeight = 18;

  FontListDelegate(const FontCatalogue& catalogue, QObject* parent = nullptr);

  void setNameColumnWidth(int width) { nameColumn_ = width; }

  // cmbFontDrawItem.
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  const FontCatalogue& catalogue_;
  int nameColumn_ = 0;
};

// The font list `cmbFont`: a drop-down list that says when it is about to drop down
// (`cmbFontDropDown` sets the width of the list then).
class FontListBox : public QComboBox {
  Q_OBJECT
 public:
  using QComboBox::QComboBox;
  void showPopup() override {
    emit droppingDown();
    QComboBox::showPopup();
  }

 signals:
  void droppingDown();
};

}  // namespace glyphmill
