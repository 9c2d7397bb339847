// The placement legend `imgLeg` (240 x 165): a drawing of one character cell with its margins,
// behind the five spacing boxes, and in its middle a sample "A" in the chosen font.
#pragma once

#include <QImage>
#include <QWidget>
#include <string>

namespace glyphmill {

// Where DrawLegendSample puts its "A": the size it shrank to and the letter's extent.
struct LegendSample {
  int pointSize = 39;
  int width = 0;
  int height = 0;
  int x = 0;
  int y = 0;
};

// The sample's size: from 39 points down, one point at a time, until "A" is less than 42 pixels
// wide, then until it is less than 42 pixels high.
LegendSample MeasureLegendSample(const std::string& fontName);

class LegendView : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kWidth = 240;
  static constexpr int kHeight = 165;

  explicit LegendView(QWidget* parent = nullptr);

  // DrawLegendSample: the grey sample square redrawn with "A" in `fontName`.
  LegendSample drawSample(const std::string& fontName);
  const QImage& picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void drawCellDiagram();
  QImage picture_;
};

}  // namespace glyphmill
