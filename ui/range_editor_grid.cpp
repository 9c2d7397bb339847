#include "ui/range_editor_grid.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

#include "settings/font_metrics.h"
#include "ui/range_editor_glyph_cache.h"
#include "ui/range_editor_model.h"

namespace glyphmill {

namespace {

// Where a glyph's text point sits inside its cell.
constexpr int kGlyphInset = 2;

QColor FromRgb(uint32_t rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

}  // namespace

RangeEditorGrid::RangeEditorGrid(RangeEditorModel& model, FontTables& tables, FontMeasurer& measurer,
                                 GlyphCellCache& glyphs, QWidget* parent)
    : QAbstractScrollArea(parent), model_(model), tables_(tables), measurer_(measurer), glyphs_(glyphs) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  verticalScrollBar()->setTracking(true);
  viewport()->setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

int RangeEditorGrid::visibleRows() const { return std::max(1, viewport()->height() / kCellPitch); }

void RangeEditorGrid::relayout() {
  model_.layout(width());
  QScrollBar* bar = verticalScrollBar();
  bar->setRange(0, std::max(0, model_.rows() - visibleRows()));
  bar->setPageStep(visibleRows());
  bar->setSingleStep(1);
  viewport()->update();
}

int RangeEditorGrid::topRow() const { return verticalScrollBar()->value(); }

void RangeEditorGrid::setTopRow(int row) { verticalScrollBar()->setValue(row); }

void RangeEditorGrid::setCurrentCell(int64_t cellIndex) {
  if (cellIndex == currentCell_) return;
  currentCell_ = cellIndex;
  viewport()->update();
}

int64_t RangeEditorGrid::cellAt(const QPoint& pos) const {
  // Only cells in view count: a drag that leaves the grid paints nothing beyond its edge.
  if (!viewport()->rect().contains(pos)) return -1;
  const int column = pos.x() / kCellPitch;
  const int64_t row = topRow() + pos.y() / kCellPitch;
  if (column >= model_.columns() || row >= model_.rows()) return -1;
  return row * model_.columns() + column;
}

QRect RangeEditorGrid::cellRect(int64_t cellIndex) const {
  const int64_t row = cellIndex / model_.columns();
  const int column = static_cast<int>(cellIndex % model_.columns());
  return QRect(column * kCellPitch, static_cast<int>((row - topRow()) * kCellPitch), kRangeCellSize, kRangeCellSize);
}

void RangeEditorGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  relayout();
}

void RangeEditorGrid::paintEvent(QPaintEvent* event) {
  QPainter p(viewport());
  // The grid lines are the gaps between the cells.
  p.fillRect(event->rect(), palette().color(QPalette::Window));
  const int columns = model_.columns();
  const int firstRow = topRow() + event->rect().top() / kCellPitch;
  const int lastRow = std::min(model_.rows() - 1, topRow() + event->rect().bottom() / kCellPitch);
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = 0; column < columns; ++column) {
      const int64_t index = static_cast<int64_t>(row) * columns + column;
      const QRect r = cellRect(index);
      if (!r.intersects(event->rect())) continue;
      drawCell(p, index, r);
    }
  }
}

void RangeEditorGrid::drawCell(QPainter& p, int64_t cellIndex, const QRect& rect) {
  const std::optional<uint16_t> code = model_.codeUnitAt(cellIndex);
  if (!code) return;  // empty cells are not drawn
  const uint16_t c = *code;
  const uint32_t background = model_.backgroundOf(c);
  p.fillRect(rect,
             background == RangeEditorModel::kHighlight ? palette().color(QPalette::Highlight) : FromRgb(background));
  if (tables_.fontSupport[c]) {
    // The glyph's offset is its A width at the generation size, so the grid shows the spacing
    // the texture will get.
    measurer_.EnsureMetrics(c, tables_);
    const int a = std::max(tables_.glyphMetrics[c].abcA, 0);
    if (const GlyphCellImage* g = glyphs_.glyph(c, tables_.glyphFont[c]); g && !g->image.isNull()) {
      p.save();
      p.setClipRect(rect);
      p.drawImage(rect.left() + kGlyphInset + a + g->x, rect.top() + kGlyphInset + g->y, g->image);
      p.restore();
    }
  }
  p.setPen(palette().color(QPalette::Button));
  p.setBrush(Qt::NoBrush);
  p.drawRect(rect.adjusted(0, 0, -1, -1));
  if (cellIndex == currentCell_) {
    p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    p.drawRect(rect.adjusted(1, 1, -2, -2));
  }
}

void RangeEditorGrid::mousePressEvent(QMouseEvent* event) {
  const int64_t cell = cellAt(event->position().toPoint());
  if (cell < 0) return;  // a press outside every cell starts no drag
  emit cellPressed(cell, event->button() == Qt::LeftButton);
}

void RangeEditorGrid::mouseMoveEvent(QMouseEvent* event) {
  const int64_t cell = cellAt(event->position().toPoint());
  if (cell >= 0) emit pointerMoved(cell);
}

void RangeEditorGrid::mouseReleaseEvent(QMouseEvent* event) { emit cellReleased(cellAt(event->position().toPoint())); }

}  // namespace glyphmill
