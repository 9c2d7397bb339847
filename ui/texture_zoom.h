// TextureZoom: the texture view's magnification, from 25 % to 800 %, and the arithmetic between
// the panel, the scroll position and the texture's pixels. No widgets here, so the steps and the
// pixel under the pointer are exact and testable on their own.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QSize>
#include <array>

namespace glyphmill {

class TextureZoom {
 public:
  static constexpr double kMin = 0.25;
  static constexpr double kMax = 8.0;
  // The steps of Ctrl+plus and Ctrl+minus (and the mouse wheel), in percent.
  static constexpr std::array<int, 11> kStepsPercent{25, 33, 50, 67, 100, 150, 200, 300, 400, 600, 800};

  double scale() const { return scale_; }
  int percent() const;
  // Sets any scale within the range (a "Fit" may land between steps).
  void setScale(double scale);
  // The next step above or below the current scale; the ends stay where they are.
  double nextStepUp() const;
  double nextStepDown() const;
  // The largest scale at which a picture of `image` fits the panel, within the range.
  static double FitScale(QSize image, QSize panel);

  // The picture's size on the screen at the current scale.
  QSize scaled(QSize image) const;
  // The texture pixel shown at `picturePos` (a position within the scaled picture).
  QPoint imagePixelAt(QPoint picturePos) const;
  // Where a texture position (in pixels, fractions allowed) lies in the scaled picture.
  QPointF pictureAt(QPointF imagePos) const { return imagePos * scale_; }
  // Above 100 % every texture pixel is a sharp square; below, the picture is smoothed.
  bool nearestNeighbour() const { return scale_ >= 1.0; }

 private:
  double scale_ = 1.0;
};

}  // namespace glyphmill
