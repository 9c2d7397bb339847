#include "ui/preview_strip.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

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

// Renders a cell from its distance field `zoom` times its size with its top-left corner at (x, y).
// Each strip pixel samples the field bilinearly at its centre, within the cell (as an engine's
// quad covers only the cell), and takes the colour of the nearest texel.
void RenderFieldCell(Image24& strip, const PlacedCharacter& cell, int64_t x, int64_t y, const PreviewSource& source) {
  const int32_t maxX = std::min({source.textureWidth, source.colour.width(), source.mask.width()}) - 1;
  const int32_t maxY = std::min({source.textureHeight, source.colour.height(), source.mask.height()}) - 1;
  if (maxX < 0 || maxY < 0 || cell.cellWidth == 0 || cell.cellHeight == 0) return;
  const int32_t z = source.zoom;
  const float left = static_cast<float>(std::clamp<int64_t>(cell.cellX, 0, maxX));
  const float top = static_cast<float>(std::clamp<int64_t>(cell.cellY, 0, maxY));
  const float right = static_cast<float>(std::clamp<int64_t>(int64_t{cell.cellX} + cell.cellWidth - 1, 0, maxX));
  const float bottom = static_cast<float>(std::clamp<int64_t>(int64_t{cell.cellY} + cell.cellHeight - 1, 0, maxY));
  // The single field is the mask's; a multi-channel one is in the colour image (blue, green, red).
  const Image24& fields = source.multiChannel ? source.colour : source.mask;
  auto field = [&](int32_t sx, int32_t sy, int k) { return static_cast<float>(fields.row(sy)[sx * 3 + k]); };
  const int64_t rows = int64_t{cell.cellHeight} * z, cols = int64_t{cell.cellWidth} * z;
  for (int64_t r = 0; r < rows; ++r) {
    const int64_t ty = y + r;
    if (ty < 0) continue;
    if (ty >= strip.height()) break;
    const float v = std::clamp(static_cast<float>(cell.cellY) + (static_cast<float>(r) + 0.5f) / z - 0.5f, top, bottom);
    const int32_t y0 = static_cast<int32_t>(v), y1 = std::min(y0 + 1, static_cast<int32_t>(bottom));
    const float fy = v - static_cast<float>(y0);
    uint8_t* out = strip.row(static_cast<int32_t>(ty));
    for (int64_t q = 0; q < cols; ++q) {
      const int64_t tx = x + q;
      if (tx < 0) continue;
      if (tx >= strip.width()) break;
      const float u =
          std::clamp(static_cast<float>(cell.cellX) + (static_cast<float>(q) + 0.5f) / z - 0.5f, left, right);
      const int32_t x0 = static_cast<int32_t>(u), x1 = std::min(x0 + 1, static_cast<int32_t>(right));
      const float fx = u - static_cast<float>(x0);
      auto sample = [&](int k) {
        return (field(x0, y0, k) * (1 - fx) + field(x1, y0, k) * fx) * (1 - fy) +
               (field(x0, y1, k) * (1 - fx) + field(x1, y1, k) * fx) * fy;
      };
      float a;
      if (source.multiChannel) {
        const float cb = sample(0), cg = sample(1), cr = sample(2);
        a = MultiChannelCoverage(std::max(std::min(cb, cg), std::min(std::max(cb, cg), cr)), source.spread, z);
      } else {
        a = FieldCoverage(sample(0), source.spread, z);
      }
      if (a <= 0.0f) continue;
      if (source.multiChannel) {
        const uint8_t ink[3] = {source.ink.b, source.ink.g, source.ink.r};
        uint8_t* d = out + tx * 3;
        for (int k = 0; k < 3; ++k) d[k] = Blend(ink[k], d[k], a);
        continue;
      }
      // The nearest texture pixel, halves up (u and v are clamped into the cell, never negative).
      const int32_t nx = static_cast<int32_t>(std::floor(u + 0.5f)), ny = static_cast<int32_t>(std::floor(v + 0.5f));
      const uint8_t* c = source.colour.row(std::min(ny, maxY)) + std::min(nx, maxX) * 3;
      uint8_t* d = out + tx * 3;
      for (int k = 0; k < 3; ++k) d[k] = Blend(c[k], d[k], a);
    }
  }
}

// The distance from the top of the band that holds every cell to the common line top: the largest
// cell top-to-line-top distance.
int64_t LineTopInBand(const PreviewSource& source) {
  const std::size_t count = std::min<std::size_t>(source.table.size(), source.selectedCount);
  int64_t lineTop = 0;
  for (std::size_t i = 0; i < count; ++i)
    lineTop = i == 0 ? source.table[i].drawOffsetY : std::max<int64_t>(lineTop, source.table[i].drawOffsetY);
  return lineTop;
}

// The height of that band: line top plus the largest reach below it.
int64_t BandHeight(const PreviewSource& source) {
  const std::size_t count = std::min<std::size_t>(source.table.size(), source.selectedCount);
  const int64_t lineTop = LineTopInBand(source);
  int64_t below = 0;
  for (std::size_t i = 0; i < count; ++i)
    below = std::max<int64_t>(below, int64_t{source.table[i].cellHeight} - source.table[i].drawOffsetY);
  return lineTop + below;
}

// One line of the text with its band's top at `y`, `zoom` times the font's size.
void DrawLine(Image24& strip, const std::u16string& text, const PreviewSource& source, int32_t zoom, int64_t y) {
  int64_t x = 2;
  // Every cell is set with its text line on one row: the line top lies as far down the line as the
  // largest cell top-to-line-top distance, so no cell starts above it. Line cells all have the same
  // distance and are copied to the line's top row.
  const int64_t lineTop = LineTopInBand(source);
  for (char16_t unit : text) {
    if (unit == u' ') {
      x += int64_t{source.spaceAdvance} * zoom;
      continue;
    }
    const int32_t i = FindPlacedCharacter(source.table, source.selectedCount, static_cast<uint16_t>(unit));
    if (i < 0) continue;
    if (static_cast<std::size_t>(i) < source.placed.size() && source.placed[static_cast<std::size_t>(i)] == 0) continue;
    const PlacedCharacter& cell = source.table[static_cast<size_t>(i)];
    x += int64_t{cell.advanceBefore} * zoom;
    const int64_t cellY = y + (lineTop - cell.drawOffsetY) * zoom;
    if (x > -static_cast<int64_t>(cell.cellWidth) * zoom && x < strip.width() && cellY < strip.height()) {
      if (source.distanceField) {
        PreviewSource scaled = source;
        scaled.zoom = zoom;
        RenderFieldCell(strip, cell, x, cellY, scaled);
      } else {
        CopyCell(strip, cell, static_cast<int32_t>(x), static_cast<int32_t>(cellY), source);
      }
    }
    x += int64_t{cell.advanceAfter} * zoom;
  }
}

}  // namespace

int32_t PreviewStripHeight(uint32_t tallestCell, bool distanceField, int32_t zoom) {
  const int64_t lines = distanceField && zoom > 1 ? 1 + zoom : 1;
  return static_cast<int32_t>(std::min<int64_t>(int64_t{tallestCell} * lines, 1 << 15));
}

float FieldCoverage(float field, int32_t spread, int32_t zoom) {
  // One texel spans 128 / spread field units; one screen pixel 1 / zoom of that.
  const float unitsPerScreenPixel = 128.0f / static_cast<float>(std::max(spread, 1) * std::max(zoom, 1));
  return std::clamp((field - 128.0f) / unitsPerScreenPixel + 0.5f, 0.0f, 1.0f);
}

float MultiChannelCoverage(float median, int32_t spread, int32_t zoom) {
  const float t = FieldCoverage(median, spread, zoom);
  return t * t * (3.0f - 2.0f * t);
}

void DrawPreviewInto(Image24& strip, Bgr background, const std::u16string& text, const PreviewSource& source) {
  strip.fill(background);
  DrawLine(strip, text, source, 1, 0);
  if (source.distanceField && source.zoom > 1) {
    DrawLine(strip, text, source, source.zoom, BandHeight(source));
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
