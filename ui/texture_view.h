// The texture view `Tab`: tabs "Font", "Mask" and "Composite" over a white panel `pnl` that shows
// the colour image `img`, the alpha mask `mask`, or the two as an engine draws them (the colour
// blended by the mask over a checkerboard or a chosen backdrop), with the scroll bars `scrB`
// (bottom) and `scrR` (right) panning every picture together.
//
// Zoom runs from 25 % to 800 % (Ctrl + mouse wheel about the pointer, Ctrl+plus / Ctrl+minus,
// Ctrl+0 for 1:1, "Fit"); above 100 % each texture pixel is a sharp square. Every page shares one
// zoom and one position. Dragging with the middle button pans. The view reports the texture pixel
// under the pointer; the window answers with the cell to frame and the text to show.
#pragma once

#include <QImage>
#include <QSpinBox>
#include <QWidget>
#include <array>
#include <optional>

#include "ui/composite_image.h"
#include "ui/texture_zoom.h"

class QAction;
class QLabel;
class QMenu;
class QScrollBar;
class QTabBar;
class QWheelEvent;
class QToolButton;

namespace glyphmill {

// One picture of the view at the view's zoom. It paints only the part that is exposed, straight
// from its image, so a large texture costs one copy when it arrives and nothing more.
class TexturePicture : public QWidget {
  Q_OBJECT
 public:
  explicit TexturePicture(QWidget* parent = nullptr) : QWidget(parent) {}
  void setImage(QImage image);
  const QImage& image() const { return image_; }
  void setZoom(const TextureZoom& zoom);
  // A thin frame around this rectangle of texture pixels; an empty one removes it.
  void setMark(const QRect& cell);
  const QRect& mark() const { return mark_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  // The texture part of a paint: the exposed screen rectangle of the picture.
  virtual void paintTexture(QPainter& painter, const QRect& exposed);
  const TextureZoom& zoom() const { return zoom_; }

 private:
  QImage image_;
  TextureZoom zoom_;
  QRect mark_;
};

// The composite page's picture: at 100 % the composite itself; at any other zoom the page sampled
// with linear filtering as an engine samples it, then blended over the backdrop.
class CompositePicture : public TexturePicture {
 public:
  explicit CompositePicture(QWidget* parent = nullptr) : TexturePicture(parent) {}
  // The page's colour and mask (RGB888, one size), how its colour relates to alpha, the backdrop.
  void setSource(const QImage& colour, const QImage& mask, PageAlpha alpha, const std::optional<QColor>& backdrop);

 protected:
  void paintTexture(QPainter& painter, const QRect& exposed) override;

 private:
  QImage colour_;
  QImage mask_;
  PageAlpha alpha_ = PageAlpha::Straight;
  std::optional<QColor> backdrop_;
};

class TextureView : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kFontPage = 0;
  static constexpr int kMaskPage = 1;
  static constexpr int kCompositePage = 2;

  explicit TextureView(QWidget* parent = nullptr);

  // New pictures (the handed-back texture and mask, or black after a size change). `page` is the
  // colour exporters receive when it is not the texture (a straight or premultiplied page); the
  // composite shows it as an engine draws it.
  void setImages(const QImage& colour, const QImage& mask, const QImage& page = {},
                 PageAlpha alpha = PageAlpha::Straight);

  // ShowTexturePage: 0 shows the colour image, 1 the mask, 2 the composite; any other index
  // changes nothing.
  void showPage(int index);
  int page() const { return page_; }

  // Steps 4 and 5 of the window layout, for the picture at the current zoom: a scroll bar is
  // enabled only when the picture is larger than the panel that way, with maximum = picture size
  // - panel size; a disabled bar puts every picture back to the panel's edge.
  void layoutScrollBars(int imageWidth, int imageHeight);

  // Places the tab bar, the zoom controls, the panel and the scroll bars inside the view's size.
  void arrangeParts();

  // ---- zoom
  double zoomScale() const { return zoom_.scale(); }
  // Sets the zoom keeping the texture point under `panelAnchor` (a panel position) in place;
  // without an anchor, the panel's centre.
  void setZoom(double scale, std::optional<QPoint> panelAnchor = std::nullopt);
  void zoomIn();
  void zoomOut();
  void zoomActualSize();
  void zoomToFit();
  // The texture pixel shown at a panel position (it may lie outside the texture).
  QPoint imagePixelAtPanel(QPoint panelPos) const;

  // ---- texture pages
  // How many texture pages the generation filled and which one the view shows (0-based). The page
  // selector beside the zoom shows "Page K of N" and is there only when there are several pages.
  void setTexturePages(int count, int shown);
  QSpinBox* pageSelector() const { return pageBox_; }

  // ---- composite page
  // The backdrop under the composite: nothing for the checkerboard, or one colour.
  void setBackdrop(std::optional<QColor> colour);
  const std::optional<QColor>& backdrop() const { return backdrop_; }

  // ---- inspecting
  // Frames a cell (texture pixels) on every page; an empty rectangle removes the frame.
  void setMarkedCell(const QRect& cell);
  QRect markedCell() const { return colour_->mark(); }
  // The text shown for what the pointer is over (a tooltip at the pointer); empty hides it.
  void setHoverText(const QString& text);
  const QString& hoverText() const { return hoverText_; }

  QTabBar* tabBar() const { return tabs_; }
  QWidget* panel() const { return panel_; }
  TexturePicture* colourPicture() const { return colour_; }
  TexturePicture* maskPicture() const { return mask_; }
  CompositePicture* compositePicture() const { return composite_; }
  QScrollBar* horizontalBar() const { return scrB_; }
  QScrollBar* verticalBar() const { return scrR_; }
  QLabel* zoomLabel() const { return zoomLabel_; }
  // The commands, for the window's menu: zoom in, zoom out, 1:1, fit.
  QAction* zoomInAction() const { return zoomInAction_; }
  QAction* zoomOutAction() const { return zoomOutAction_; }
  QAction* actualSizeAction() const { return actualSizeAction_; }
  QAction* fitAction() const { return fitAction_; }
  QMenu* backdropMenu() const { return backdropMenu_; }

 signals:
  // The tab control's change, with the new tab index.
  void tabChanged(int index);
  // The pointer is over texture pixel `pixel` (inside the texture), or has left the texture.
  void pointerOverPixel(QPoint pixel);
  void pointerLeftTexture();
  // "Other Colour..." in the backdrop menu: the window asks for a colour and calls setBackdrop.
  void backdropColourRequested();
  // The person picked texture page `page` (0-based) in the page selector.
  void texturePageChosen(int page);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The three pages' pictures, in tab order.
  std::array<TexturePicture*, 3> pictures() const { return {colour_, mask_, composite_}; }
  void panTo();
  void applyZoom();
  void refreshComposite();
  void hoverAt(QPoint panelPos);
  // The wheel over the panel at `panelPos`: zoom with Ctrl, else scrolling.
  void wheelAt(const QWheelEvent& wheel, QPoint panelPos);
  QAction* makeAction(const QString& text, const QList<QKeySequence>& keys, void (TextureView::*slot)());

  QTabBar* tabs_;
  QWidget* frame_;
  QWidget* panel_;
  TexturePicture* colour_;
  TexturePicture* mask_;
  CompositePicture* composite_;
  QImage pageImage_;
  PageAlpha pageAlpha_ = PageAlpha::Straight;
  QScrollBar* scrB_;
  QScrollBar* scrR_;
  QWidget* zoomRow_;
  QSpinBox* pageBox_;
  QLabel* zoomLabel_;
  QToolButton* backdropButton_;
  QMenu* backdropMenu_;
  QAction* zoomInAction_;
  QAction* zoomOutAction_;
  QAction* actualSizeAction_;
  QAction* fitAction_;

  int page_ = kFontPage;
  TextureZoom zoom_;
  QSize imageSize_{0, 0};
  std::optional<QColor> backdrop_;
  bool compositeStale_ = true;
  QString hoverText_;
  // Middle-button panning: where the drag started and the scroll position then.
  bool panning_ = false;
  QPoint panStart_;
  QPoint panScrollStart_;
};

}  // namespace glyphmill
