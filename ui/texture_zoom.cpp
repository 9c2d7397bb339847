#include "ui/texture_zoom.h"

#include <algorithm>
#include <cmath>

namespace glyphmill {

int TextureZoom::percent() const { return static_cast<int>(std::lround(scale_ * 100.0)); }

void TextureZoom::setScale(double scale) { scale_ = std::clamp(scale, kMin, kMax); }

double TextureZoom::nextStepUp() const {
  for (int step : kStepsPercent)
    if (step > percent()) return step / 100.0;
  return kMax;
}

double TextureZoom::nextStepDown() const {
  for (auto it = kStepsPercent.rbegin(); it != kStepsPercent.rend(); ++it)
    if (*it < percent()) return *it / 100.0;
  return kMin;
}

double TextureZoom::FitScale(QSize image, QSize panel) {
  if (image.isEmpty() || panel.isEmpty()) return 1.0;
  const double fit = std::min(static_cast<double>(panel.width()) / image.width(),
                              static_cast<double>(panel.height()) / image.height());
  return std::clamp(fit, kMin, kMax);
}

QSize TextureZoom::scaled(QSize image) const {
  return QSize(static_cast<int>(std::lround(image.width() * scale_)),
               static_cast<int>(std::lround(image.height() * scale_)));
}

QPoint TextureZoom::imagePixelAt(QPoint picturePos) const {
  return QPoint(static_cast<int>(std::floor(picturePos.x() / scale_)),
                static_cast<int>(std::floor(picturePos.y() / scale_)));
}

}  // namespace glyphmill
