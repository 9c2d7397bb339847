// Grid of the Advanced Export window: the job queue, one row per job under one fixed header row,
// six columns (name banner left end, plug-in name, banner right end, then the colour, alpha and
// data options), whole-row selection, drawn from the cell pictures.
//
// The grid only shows and hit-tests; what a click on an option does is the window's business
// (it receives cellReleased). A job whose plug-in index lies outside the registry is shown as a
// missing plug-in: its name banner says so and its options show the "does not apply" picture.
#pragma once

#include <QFont>
#include <QWidget>

#include "ui/cell_pictures.h"

namespace glyphmill {

struct AppState;

class JobQueueGrid : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kColumnCount = 6;
  static constexpr int kRowHeight = 21;
  static constexpr int kOptionColumnWidth = 51;

  JobQueueGrid(AppState& state, const CellPictures& pictures, QWidget* parent = nullptr);

  int rowCount() const { return rowCount_; }
  void setRowCount(int rows);
  // FormResize's widths, always those of the grid's current width: column 0 16 pixels, column 1
  // the width less 221 (never negative), columns 2 to 5 51 each.
  int columnWidth(int column) const;

  // The selected row (top of the selection); 1 at first, never the header row.
  int selectedRow() const { return selectedRow_; }
  void selectRow(int row);

  // The cell under a point of the widget, as (column, row); (-1, -1) outside every cell.
  QPoint cellAt(const QPoint& pos) const;
  QRect cellRect(int column, int row) const;
  // The rectangle a cell's text is drawn in: a whole line of its font inside the cell.
  QRect textRect(int column, int row) const;
  // Height of every row: kRowHeight, or more when the grid font needs it.
  int rowHeight() const;

  // GridDrawCell's choice of picture for a cell; nullptr for cells that get none.
  const QImage* pictureFor(int column, int row) const;
  // The text drawn in a cell's name column ("Plugin" in the header), empty for other cells.
  QString textFor(int column, int row) const;

 signals:
  // A mouse button went up over a cell (GridMouseUp).
  void cellReleased(int column, int row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void drawCell(QPainter& p, int column, int row, const QRect& rect);
  QFont textFont(int row) const;  // bold for the header and the selected row
  int firstBodyRow() const { return 1 + scroll_; }

  AppState& state_;
  const CellPictures& pictures_;
  QFont gridFont_;
  int rowCount_ = 2;
  int selectedRow_ = 1;
  int scroll_ = 0;  // body rows scrolled away by the wheel when the queue outgrows the grid
};

}  // namespace glyphmill
