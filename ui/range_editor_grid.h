// The range editor's grid: 32 x 32 pixel cells with one-pixel grid lines, scrolled by rows with
// live thumb tracking. Only the cells in view are drawn, from cached glyph pictures, so scrolling
// over the whole range stays smooth.
//
// The grid never moves its current cell by itself (keyboard or mouse): the editor moves it.
// Mouse presses, moves and releases over cells are reported to the editor as cell indices.
#pragma once

#include <QAbstractScrollArea>

#include <cstdint>

namespace glyphmill {

class FontMeasurer;
struct FontTables;
class GlyphCellCache;
class RangeEditorModel;

class RangeEditorGrid : public QAbstractScrollArea {
  Q_OBJECT

 public:
  static constexpr int kCellPitch = 33;  // a 32-pixel cell and its grid line

  RangeEditorGrid(RangeEditorModel& model, FontTables& tables, FontMeasurer& measurer, GlyphCellCache& glyphs,
                  QWidget* parent = nullptr);

  // Lays the model out for the grid's width and sets the scroll range; repaints.
  void relayout();

  int topRow() const;
  void setTopRow(int row);
  // Rows that fit wholly in view (at least 1).
  int visibleRows() const;

  int64_t currentCell() const { return currentCell_; }
  void setCurrentCell(int64_t cellIndex);

  // The cell under a point of the viewport, or -1 outside every cell and outside the viewport.
  int64_t cellAt(const QPoint& viewportPos) const;
  // Where a cell is drawn in the viewport (may lie outside it).
  QRect cellRect(int64_t cellIndex) const;

 signals:
  void cellPressed(int64_t cellIndex, bool leftButton);
  void pointerMoved(int64_t cellIndex);
  void cellReleased(int64_t cellIndex);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void drawCell(QPainter& p, int64_t cellIndex, const QRect& rect);

  RangeEditorModel& model_;
  FontTables& tables_;
  FontMeasurer& measurer_;
  GlyphCellCache& glyphs_;
  int64_t currentCell_ = 0;
};

}  // namespace glyphmill
