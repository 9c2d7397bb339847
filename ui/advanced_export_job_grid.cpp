#include "ui/advanced_export_job_grid.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

#include "app/app_state.h"
#include "export/job_queue.h"
#include "glyphmill/plugin.h"

namespace glyphmill {

namespace {

constexpr const char* kHeaderText = "Plugin";
constexpr const char* kMissingPluginPrefix = "Missing plug-in: ";
constexpr int kBannerEndWidth = 16;
constexpr int kNameColumnReserve = 221;  // every column but the name column, and one pixel
const QColor kHeaderTextColour(80, 80, 80);
const QColor kSelectedNameColour(53, 53, 53);

}  // namespace

JobQueueGrid::JobQueueGrid(AppState& state, const CellPictures& pictures, QWidget* parent)
    : QWidget(parent), state_(state), pictures_(pictures), gridFont_(QStringLiteral("Tahoma")) {
  gridFont_.setPointSize(12);
}

void JobQueueGrid::setRowCount(int rows) {
  rowCount_ = std::max(rows, 2);
  selectedRow_ = std::clamp(selectedRow_, 1, rowCount_ - 1);
  scroll_ = std::clamp(scroll_, 0, std::max(0, rowCount_ - 2));
  update();
}

int JobQueueGrid::columnWidth(int column) const {
  if (column == 0) return kBannerEndWidth;
  if (column == 1) return std::max(0, width() - kNameColumnReserve);
  return column > 1 && column < kColumnCount ? kOptionColumnWidth : 0;
}

void JobQueueGrid::selectRow(int row) {
  if (row < 1 || row >= rowCount_) return;
  selectedRow_ = row;
  update();
}

QRect JobQueueGrid::cellRect(int column, int row) const {
  if (column < 0 || column >= kColumnCount || row < 0 || row >= rowCount_) return {};
  int x = 0;
  for (int c = 0; c < column; ++c) x += columnWidth(c);
  int y = 0;
  if (row > 0) {
    if (row < firstBodyRow()) return {};
    y = (row - scroll_) * rowHeight();
  }
  return QRect(x, y, columnWidth(column), rowHeight());
}

QPoint JobQueueGrid::cellAt(const QPoint& pos) const {
  if (pos.x() < 0 || pos.y() < 0) return {-1, -1};
  int row = pos.y() / rowHeight();
  if (row > 0) row += scroll_;
  if (row >= rowCount_) return {-1, -1};
  int x = 0;
  for (int c = 0; c < kColumnCount; ++c) {
    const int w = columnWidth(c);
    if (pos.x() < x + w) return {c, row};
    x += w;
  }
  return {-1, -1};
}

const QImage* JobQueueGrid::pictureFor(int column, int row) const {
  if (column < 0 || column >= kColumnCount) return nullptr;
  const CellPictures& c = pictures_;
  if (row == 0) {
    const QImage* header[kColumnCount] = {&c.imgBarL, &c.imgBarC, &c.imgBarR, &c.imgRGB, &c.imgAlpha, &c.imgData};
    return header[column];
  }
  if (row < 1 || static_cast<size_t>(row) > state_.jobs.size()) return nullptr;
  const TExportJob& job = state_.jobs[static_cast<size_t>(row - 1)];
  if (column == 0) return &c.imgNameL;
  if (column == 1) return &c.imgNameC;
  if (column == 2) return &c.imgNameR;
  const TExportPlugin* plugin = JobPlugin(state_.registry, job);
  if (!plugin) return &c.imgEmpty;  // a missing plug-in: no option applies
  if (plugin->pluginType() == ptSimple) {
    const QImage* banner[3] = {&c.imgSimpleL, &c.imgSimpleC, &c.imgSimpleR};
    return banner[column - 3];
  }
  auto option = [&](bool applies, bool on) { return !applies ? &c.imgEmpty : on ? &c.imgTick : &c.imgCross; };
  if (column == 3) return option(plugin->CanRGB, job.UseRGB);
  if (column == 4) return option(plugin->CanAlpha, job.UseAlpha);
  return option(plugin->CanData, job.UseData);
}

QString JobQueueGrid::textFor(int column, int row) const {
  if (column != 1) return {};
  if (row == 0) return QString::fromLatin1(kHeaderText);
  if (row < 1 || static_cast<size_t>(row) > state_.jobs.size()) return {};
  const TExportJob& job = state_.jobs[static_cast<size_t>(row - 1)];
  if (const TExportPlugin* plugin = JobPlugin(state_.registry, job)) return QString::fromStdString(plugin->Name);
  // A job loaded from a project saved with other plug-ins: name what it asked for.
  const std::string asked = job.pluginNameString();
  return QString::fromLatin1(kMissingPluginPrefix) +
         (asked.empty() ? QStringLiteral("#%1").arg(job.PluginIndex) : QString::fromStdString(asked));
}

QFont JobQueueGrid::textFont(int row) const {
  QFont f = gridFont_;
  f.setBold(row == 0 || row == selectedRow_);
  return f;
}

int JobQueueGrid::rowHeight() const {
  // The design's 21 pixels, or more when the bold grid font (a substitute for Tahoma) is taller.
  QFont bold = gridFont_;
  bold.setBold(true);
  return std::max(kRowHeight, QFontMetrics(bold).height() + 2);
}

QRect JobQueueGrid::textRect(int column, int row) const {
  // The whole line of the font, descenders included, centred in the cell.
  const QRect cell = cellRect(column, row);
  const int lineHeight = QFontMetrics(textFont(row)).height();
  return QRect(cell.left(), cell.top() + std::max(0, (cell.height() - lineHeight) / 2), cell.width(), lineHeight);
}

void JobQueueGrid::drawCell(QPainter& p, int column, int row, const QRect& rect) {
  p.save();
  p.setClipRect(rect);
  if (const QImage* picture = pictureFor(column, row)) {
    if (rect.width() <= kCellPictureWidth) {
      p.drawImage(rect.topLeft(), *picture);
    } else {
      // A wide cell is tiled from its left edge; the header's tile is always the bar's middle.
      const QImage& tile = row == 0 ? pictures_.imgBarC : *picture;
      const int copies = rect.width() / kCellPictureWidth + 1;
      for (int i = 0; i < copies; ++i) p.drawImage(rect.left() + i * kCellPictureWidth, rect.top(), tile);
    }
  }
  const QString text = textFor(column, row);
  if (!text.isEmpty()) {
    QFont f = textFont(row);
    if (row == 0) {
      p.setPen(kHeaderTextColour);
    } else if (row == selectedRow_) {
      p.setPen(kSelectedNameColour);
    } else {
      p.setPen(Qt::black);
    }
    p.setFont(f);
    p.drawText(textRect(column, row), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
  }
  p.restore();
}

void JobQueueGrid::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Base));
  for (int row = 0; row < rowCount_; ++row) {
    if (row > 0 && row < firstBodyRow()) continue;
    for (int column = 0; column < kColumnCount; ++column) {
      const QRect r = cellRect(column, row);
      if (r.isEmpty() || r.top() > height()) continue;
      drawCell(p, column, row, r);
    }
  }
}

void JobQueueGrid::mousePressEvent(QMouseEvent* event) {
  const QPoint cell = cellAt(event->position().toPoint());
  if (cell.y() >= 1) selectRow(cell.y());
}

void JobQueueGrid::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint cell = cellAt(event->position().toPoint());
  if (cell.x() >= 0) emit cellReleased(cell.x(), cell.y());
}

void JobQueueGrid::wheelEvent(QWheelEvent* event) {
  const int visibleBodyRows = std::max(1, height() / rowHeight() - 1);
  const int maxScroll = std::max(0, rowCount_ - 1 - visibleBodyRows);
  const int step = event->angleDelta().y() > 0 ? -1 : 1;
  scroll_ = std::clamp(scroll_ + step, 0, maxScroll);
  update();
}

}  // namespace glyphmill
