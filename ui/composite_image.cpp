#include "ui/composite_image.h"

#include <algorithm>

#include "settings/rounding.h"

namespace glyphmill {

namespace {

uint8_t Blend(int c, int d, float a) {
  const float v = static_cast<float>(c) * a + static_cast<float>(d) * (1.0f - a);
  return static_cast<uint8_t>(std::clamp<int64_t>(RoundHalfEven(v), 0, 255));
}

}  // namespace

QColor CheckerColourAt(int x, int y) {
  return ((x / kCheckerSquare) + (y / kCheckerSquare)) % 2 == 0 ? kCheckerLight : kCheckerDark;
}

QImage CompositeImage(const QImage& colour, const QImage& mask, const std::optional<QColor>& backdrop) {
  const QImage c = colour.convertToFormat(QImage::Format_RGB888);
  const QImage m = mask.convertToFormat(QImage::Format_RGB888);
  QImage out(c.size(), QImage::Format_RGB888);
  for (int y = 0; y < c.height(); ++y) {
    const uchar* cRow = c.constScanLine(y);
    const uchar* mRow = y < m.height() ? m.constScanLine(y) : nullptr;
    uchar* oRow = out.scanLine(y);
    for (int x = 0; x < c.width(); ++x) {
      // RGB888 holds red, green, blue; the mask is grey, its blue byte the coverage.
      const int coverage = (mRow && x < m.width()) ? mRow[x * 3 + 2] : 0;
      const float a = static_cast<float>(coverage) / 255.0f;
      const QColor d = backdrop ? *backdrop : CheckerColourAt(x, y);
      const int back[3] = {d.red(), d.green(), d.blue()};
      for (int k = 0; k < 3; ++k) oRow[x * 3 + k] = Blend(cRow[x * 3 + k], back[k], a);
    }
  }
  return out;
}

}  // namespace glyphmill
