// The texture view `Tab`: tabs "Font" and "Mask" over a white panel `pnl` that shows the colour
// image `img` or the alpha mask `mask` at natural size, with the scroll bars `scrB` (bottom) and
// `scrR` (right) panning both pictures together.
#pragma once

#include <QImage>
#include <QWidget>

class QScrollBar;
class QTabBar;

namespace glyphmill {

// One picture of the view at natural size. It paints only the part that is exposed, straight from
// its image, so a large texture costs one copy when it arrives and nothing more.
class TexturePicture : public QWidget {
  Q_OBJECT
 public:
  explicit TexturePicture(QWidget* parent = nullptr) : QWidget(parent) {}
  void setImage(QImage image);
  const QImage& image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};

class TextureView : public QWidget {
  Q_OBJECT
 public:
  explicit TextureView(QWidget* parent = nullptr);

  // New pictures (the handed-back texture and mask, or black after a size change).
  void setImages(const QImage& colour, const QImage& mask);

  // ShowTexturePage: 0 shows the colour image, 1 the mask; any other index changes nothing.
  void showPage(int index);

  // Steps 4 and 5 of the window layout: a scroll bar is enabled only when the picture is larger
  // than the panel that way, with maximum = picture size - panel size; a disabled bar puts both
  // pictures back to the panel's edge.
  void layoutScrollBars(int imageWidth, int imageHeight);

  // Places the tab bar, the panel and the scroll bars inside the view's current size.
  void arrangeParts();

  QTabBar* tabBar() const { return tabs_; }
  QWidget* panel() const { return panel_; }
  TexturePicture* colourPicture() const { return colour_; }
  TexturePicture* maskPicture() const { return mask_; }
  QScrollBar* horizontalBar() const { return scrB_; }
  QScrollBar* verticalBar() const { return scrR_; }

 signals:
  // The tab control's change, with the new tab index.
  void tabChanged(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void panTo();

  QTabBar* tabs_;
  QWidget* frame_;
  QWidget* panel_;
  TexturePicture* colour_;
  TexturePicture* mask_;
  QScrollBar* scrB_;
  QScrollBar* scrR_;
};

}  // namespace glyphmill
