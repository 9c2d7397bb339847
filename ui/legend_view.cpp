#include "ui/legend_view.h"

#include <QFontMetrics>
#include <QPainter>

namespace glyphmill {

namespace {

constexpr int kSampleLimit = 42;  // "A" must be narrower and lower than this
constexpr int kStartPoints = 39;
const QRect kSampleSquare(40, 37, 48, 47);  // (40, 37) to (88, 84), right and bottom excluded
const QColor kSampleGrey(240, 240, 240);

// Pixel size of a point size on the 96 pixels per inch screen the legend was drawn for.
int PixelsOfPoints(int points) { return (points * 96 + 36) / 72; }

QFont SampleFont(const std::string& fontName, int points) {
  QFont font(QString::fromUtf8(fontName.c_str()));
  font.setPixelSize(std::max(1, PixelsOfPoints(points)));
  return font;
}

}  // namespace

LegendSample MeasureLegendSample(const std::string& fontName) {
  LegendSample s;
  s.pointSize = kStartPoints;
  auto extent = [&](int points, int* w, int* h) {
    QFontMetrics metrics(SampleFont(fontName, points));
    *w = metrics.horizontalAdvance(QStringLiteral("A"));
    *h = metrics.height();
  };
  extent(s.pointSize, &s.width, &s.height);
  while (s.width >= kSampleLimit && s.pointSize > 1) extent(--s.pointSize, &s.width, &s.height);
  while (s.height >= kSampleLimit && s.pointSize > 1) extent(--s.pointSize, &s.width, &s.height);
  // Halves truncated toward zero.
  s.x = 63 - s.width / 2;
  s.y = 61 - s.height / 2;
  return s;
}

LegendView::LegendView(QWidget* parent) : QWidget(parent), picture_(kWidth, kHeight, QImage::Format_RGB32) {
  setFixedSize(kWidth, kHeight);
  drawCellDiagram();
}

void LegendView::drawCellDiagram() {
  picture_.fill(QColor(255, 255, 255));
  QPainter p(&picture_);
  QFont small(QStringLiteral("Arial"));
  small.setPixelSize(10);
  p.setFont(small);
  // The cell: outer margin (general padding), the glyph's line box, and the pen positions.
  p.setPen(QPen(QColor(90, 90, 90), 1, Qt::DashLine));
  p.drawRect(24, 22, 80, 77);
  p.setPen(QPen(QColor(0, 0, 160), 1));
  p.drawRect(kSampleSquare.adjusted(-2, -2, 1, 1));
  // Vertical padding: arrows above and below the glyph.
  p.setPen(QPen(QColor(160, 0, 0), 1));
  p.drawLine(64, 23, 64, 34);
  p.drawLine(64, 87, 64, 98);
  p.drawText(110, 76, QStringLiteral("V. Pad"));
  p.drawLine(104, 80, 128, 90);
  // General padding: around everything.
  p.setPen(QPen(QColor(0, 110, 0), 1));
  p.drawText(196, 50, QStringLiteral("Padding"));
  p.drawLine(104, 28, 197, 60);
  // Leading, trailing and kerning along the baseline.
  p.setPen(QPen(QColor(90, 0, 120), 1));
  p.drawLine(24, 110, 104, 110);
  p.drawLine(24, 105, 24, 115);
  p.drawLine(38, 105, 38, 115);
  p.drawLine(90, 105, 90, 115);
  p.drawLine(104, 105, 104, 115);
  p.drawText(12, 128, QStringLiteral("Leading"));
  p.drawText(88, 128, QStringLiteral("Trailing"));
  p.drawText(194, 128, QStringLiteral("Kerning"));
  p.drawLine(104, 110, 210, 110);
  p.drawLine(210, 105, 210, 128);
  p.end();
  drawSample("Default");
}

LegendSample LegendView::drawSample(const std::string& fontName) {
  const LegendSample s = MeasureLegendSample(fontName);
  QPainter p(&picture_);
  p.fillRect(kSampleSquare, kSampleGrey);
  p.setFont(SampleFont(fontName, s.pointSize));
  p.setPen(Qt::black);
  p.setClipRect(kSampleSquare);
  const QFontMetrics metrics(p.font());
  p.drawText(s.x, s.y + metrics.ascent(), QStringLiteral("A"));
  p.end();
  update();
  return s;
}

void LegendView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, picture_);
}

}  // namespace glyphmill
