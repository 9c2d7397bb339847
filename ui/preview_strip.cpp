#include "ui/preview_strip.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "settings/rounding.h"
#include "ui/image_conversion.h"

namespace glyphmill {

int32_t FindPlacedCharacter(const std::vector<PlacedCharacter>& table, uint32_t selectedCount, uint16_t codeUnit) {
  if (table.size() < selectedCount) return -1;
  for (uint32_t i = 0; i < selectedCount; ++i)
    if (table[i].codeUnit == codeUnit) return static_cast<int32_t>(i);
  return -1;
}

namespace {

// One channel of the strip blended with the texture: round(c * a + d * (1 - a)) in single
// precision, halves to even, so that a = 1 copies c and a = 0 keeps d exactly.
uint8_t Blend(uint8_t c, uint8_t d, float a) {
  const float v = static_cast<float>(c) * a + static_cast<float>(d) * (1.0f - a);
  return static_cast<uint8_t>(std::clamp<int64_t>(RoundHalfEven(v), 0, 255));
}

void CopyCell(Image24& strip, const PlacedCharacter& cell, int32_t x, int32_t y, const PreviewSource& source) {
  // Source pixels are clamped to the texture size of the settings and, so that a texture and a
  // mask of another size can never be read outside, to the images' own size.
  const int32_t maxX = std::min({source.textureWidth, source.colour.width(), source.mask.width()}) - 1;
  const int32_t maxY = std::min({source.textureHeight, source.colour.height(), source.mask.height()}) - 1;
  if (maxX < 0 || maxY < 0) return;
  const int64_t rows = cell.cellHeight, cols = cell.cellWidth;
  for (int64_t r = 0; r < rows; ++r) {
    const int64_t ty = y + r;
    if (ty < 0) continue;
    if (ty >= strip.height()) break;
    const int32_t sy = static_cast<int32_t>(std::clamp<int64_t>(cell.cellY + r, 0, maxY));
    const uint8_t* colourRow = source.colour.row(sy);
    const uint8_t* maskRow = source.mask.row(sy);
    uint8_t* out = strip.row(static_cast<int32_t>(ty));
    for (int64_t q = 0; q < cols; ++q) {
      const int64_t tx = x + q;
      if (tx < 0) continue;
      if (tx >= strip.width()) break;
      const int32_t sx = static_cast<int32_t>(std::clamp<int64_t>(cell.cellX + q, 0, maxX));
      const float a = static_cast<float>(maskRow[sx * 3]) / 255.0f;
      uint8_t* d = out + tx * 3;
      const uint8_t* c = colourRow + sx * 3;
      for (int k = 0; k < 3; ++k) d[k] = Blend(c[k], d[k], a);
    }
  }
}

}  // namespace

void DrawPreviewInto(Image24& strip, Bgr background, const std::u16string& text, const PreviewSource& source) {
  strip.fill(background);
  int64_t x = 2;
  // Every cell is set with its text line on one row: the line top lies as far down the strip as the
  // largest cell top-to-line-top distance, so no cell starts above the strip. Line cells all have
  // the same distance and are copied to the strip's top row.
  const std::size_t count = std::min<std::size_t>(source.table.size(), source.selectedCount);
  int64_t lineTop = 0;
  for (std::size_t i = 0; i < count; ++i)
    lineTop = i == 0 ? source.table[i].drawOffsetY : std::max<int64_t>(lineTop, source.table[i].drawOffsetY);
  for (char16_t unit : text) {
    if (unit == u' ') {
      x += source.spaceAdvance;
      continue;
    }
    const int32_t i = FindPlacedCharacter(source.table, source.selectedCount, static_cast<uint16_t>(unit));
    if (i < 0) continue;
    if (static_cast<std::size_t>(i) < source.placed.size() && source.placed[static_cast<std::size_t>(i)] == 0) continue;
    const PlacedCharacter& cell = source.table[static_cast<size_t>(i)];
    x += cell.advanceBefore;
    const int64_t y = lineTop - cell.drawOffsetY;
    if (x > -static_cast<int64_t>(cell.cellWidth) && x < strip.width() && y < strip.height())
      CopyCell(strip, cell, static_cast<int32_t>(x), static_cast<int32_t>(y), source);
    x += cell.advanceAfter;
  }
}

PreviewStrip::PreviewStrip(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void PreviewStrip::reset(int width, int height, Bgr frame, Bgr background) {
  bitmap_.resize(std::max(0, width), std::max(0, height));
  if (previewDrawn_) {
    bitmap_.fill(background);
  } else {
    bitmap_.fill(255, 255, 255);
    bitmap_.frameRect(0, 0, bitmap_.width(), bitmap_.height(), frame);
  }
  update();
}

void PreviewStrip::drawPreview(Bgr background, const std::u16string& text, const PreviewSource& source) {
  previewDrawn_ = true;
  DrawPreviewInto(bitmap_, background, text, source);
  repaint();
}

void PreviewStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  if (bitmap_.width() > 0 && bitmap_.height() > 0) painter.drawImage(0, 0, ToQImage(bitmap_));
}

void PreviewStrip::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit clicked();
  QWidget::mouseReleaseEvent(event);
}

}  // namespace glyphmill
