// A colour swatch (`shpTextCol`, `shpBGCol`, `shpOutlineCol`): a small framed square filled with
// its brush colour, a colour reference. Releasing any mouse button over it reports `released`,
// after which the window opens the colour dialog.
#pragma once

#include <QWidget>
#include <cstdint>

namespace glyphmill {

class ColourSwatch : public QWidget {
  Q_OBJECT
 public:
  explicit ColourSwatch(QWidget* parent = nullptr);

  uint32_t colour() const { return colour_; }
  void setColour(uint32_t colour);

 signals:
  void released();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  uint32_t colour_ = 0;
};

}  // namespace glyphmill
