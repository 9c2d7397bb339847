#include "ui/composite_image.h"

#include <algorithm>
#include <cmath>

#include "settings/rounding.h"

namespace glyphmill {

namespace {

// One channel over the backdrop: the colour weighted by alpha (straight) or as it is (premultiplied).
uint8_t Blend(float c, int d, float a, PageAlpha alpha) {
  const float top = alpha == PageAlpha::Premultiplied ? c : c * a;
  const float v = top + static_cast<float>(d) * (1.0f - a);
  return static_cast<uint8_t>(std::clamp<int64_t>(RoundHalfEven(v), 0, 255));
}

}  // namespace

QColor CheckerColourAt(int x, int y) {
  return ((x / kCheckerSquare) + (y / kCheckerSquare)) % 2 == 0 ? kCheckerLight : kCheckerDark;
}

QImage CompositeImage(const QImage& colour, const QImage& mask, const std::optional<QColor>& backdrop,
                      PageAlpha alpha) {
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
      for (int k = 0; k < 3; ++k) oRow[x * 3 + k] = Blend(cRow[x * 3 + k], back[k], a, alpha);
    }
  }
  return out;
}

QImage FilteredComposite(const QImage& colour, const QImage& mask, const std::optional<QColor>& backdrop,
                         PageAlpha alpha, double scale, const QRect& area) {
  QImage out(area.size(), QImage::Format_RGB888);
  const int w = colour.width(), h = colour.height();
  if (w == 0 || h == 0 || mask.size() != colour.size() || scale <= 0 || area.isEmpty()) {
    out.fill(backdrop ? *backdrop : kCheckerLight);
    return out;
  }
  // Per screen column: the two texels and the weight of the right one (the same for every row).
  struct Tap {
    int x0, x1;
    float t;
  };
  std::vector<Tap> taps(static_cast<std::size_t>(area.width()));
  for (int i = 0; i < area.width(); ++i) {
    const double u = std::clamp((area.left() + i + 0.5) / scale - 0.5, 0.0, w - 1.0);
    const int x0 = static_cast<int>(std::floor(u));
    taps[i] = {x0, std::min(x0 + 1, w - 1), static_cast<float>(u - x0)};
  }
  for (int j = 0; j < area.height(); ++j) {
    const double v = std::clamp((area.top() + j + 0.5) / scale - 0.5, 0.0, h - 1.0);
    const int y0 = static_cast<int>(std::floor(v)), y1 = std::min(y0 + 1, h - 1);
    const float s = static_cast<float>(v - y0);
    const uchar* c0 = colour.constScanLine(y0);
    const uchar* c1 = colour.constScanLine(y1);
    const uchar* m0 = mask.constScanLine(y0);
    const uchar* m1 = mask.constScanLine(y1);
    const int texelY = std::min(h - 1, static_cast<int>((area.top() + j) / scale));
    uchar* o = out.scanLine(j);
    for (int i = 0; i < area.width(); ++i) {
      const Tap& tap = taps[i];
      const auto lerp = [&](const uchar* r0, const uchar* r1, int k) {
        const float top = r0[tap.x0 * 3 + k] + (r0[tap.x1 * 3 + k] - r0[tap.x0 * 3 + k]) * tap.t;
        const float bottom = r1[tap.x0 * 3 + k] + (r1[tap.x1 * 3 + k] - r1[tap.x0 * 3 + k]) * tap.t;
        return top + (bottom - top) * s;
      };
      const float a = lerp(m0, m1, 2) / 255.0f;
      const int texelX = std::min(w - 1, static_cast<int>((area.left() + i) / scale));
      const QColor d = backdrop ? *backdrop : CheckerColourAt(texelX, texelY);
      const int back[3] = {d.red(), d.green(), d.blue()};
      for (int k = 0; k < 3; ++k) o[i * 3 + k] = Blend(lerp(c0, c1, k), back[k], a, alpha);
    }
  }
  return out;
}

}  // namespace glyphmill
