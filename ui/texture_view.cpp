#include "ui/texture_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>

namespace glyphmill {

namespace {
constexpr int kFrameInset = 4;  // the tab page's border around the panel
}

void TexturePicture::setImage(QImage image) {
  image_ = std::move(image);
  resize(image_.size());
  update();
}

void TexturePicture::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect exposed = event->rect() & image_.rect();
  if (!exposed.isEmpty()) painter.drawImage(exposed.topLeft(), image_, exposed);
}

TextureView::TextureView(QWidget* parent) : QWidget(parent) {
  tabs_ = new QTabBar(this);
  tabs_->setObjectName("Tab");
  tabs_->addTab("Font");
  tabs_->addTab("Mask");
  tabs_->setDrawBase(false);
  frame_ = new QWidget(this);
  frame_->setAutoFillBackground(true);
  panel_ = new QWidget(frame_);
  panel_->setObjectName("pnl");
  QPalette white = panel_->palette();
  white.setColor(QPalette::Window, Qt::white);
  panel_->setPalette(white);
  panel_->setAutoFillBackground(true);
  colour_ = new TexturePicture(panel_);
  colour_->setObjectName("img");
  mask_ = new TexturePicture(panel_);
  mask_->setObjectName("mask");
  mask_->hide();
  scrB_ = new QScrollBar(Qt::Horizontal, frame_);
  scrB_->setObjectName("scrB");
  scrR_ = new QScrollBar(Qt::Vertical, frame_);
  scrR_->setObjectName("scrR");
  for (QScrollBar* bar : {scrB_, scrR_}) {
    bar->setRange(0, 0);
    bar->setEnabled(false);
    connect(bar, &QScrollBar::valueChanged, this, [this] { panTo(); });
  }
  connect(tabs_, &QTabBar::currentChanged, this, &TextureView::tabChanged);
}

void TextureView::setImages(const QImage& colour, const QImage& mask) {
  colour_->setImage(colour);
  mask_->setImage(mask);
}

void TextureView::showPage(int index) {
  if (index == 0) {
    colour_->show();
    mask_->hide();
  } else if (index == 1) {
    colour_->hide();
    mask_->show();
  }
}

void TextureView::arrangeParts() {
  const int tabHeight = tabs_->sizeHint().height();
  tabs_->setGeometry(0, 0, std::min(width(), tabs_->sizeHint().width()), tabHeight);
  frame_->setGeometry(0, tabHeight, width(), std::max(0, height() - tabHeight));
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const int panelWidth = std::max(0, frame_->width() - 2 * kFrameInset - bar);
  const int panelHeight = std::max(0, frame_->height() - 2 * kFrameInset - bar);
  panel_->setGeometry(kFrameInset, kFrameInset, panelWidth, panelHeight);
  scrB_->setGeometry(kFrameInset, kFrameInset + panelHeight, panelWidth, bar);
  scrR_->setGeometry(kFrameInset + panelWidth, kFrameInset, bar, panelHeight);
}

void TextureView::layoutScrollBars(int imageWidth, int imageHeight) {
  const bool horizontal = imageWidth > panel_->width();
  const bool vertical = imageHeight > panel_->height();
  scrB_->setEnabled(horizontal);
  scrR_->setEnabled(vertical);
  // Qt's range does not shrink by the page, so the page step only sizes the thumb.
  scrB_->setMaximum(horizontal ? imageWidth - panel_->width() : 0);
  scrB_->setPageStep(std::max(1, panel_->width()));
  scrR_->setMaximum(vertical ? imageHeight - panel_->height() : 0);
  scrR_->setPageStep(std::max(1, panel_->height()));
  panTo();
}

void TextureView::panTo() {
  const int x = scrB_->isEnabled() ? -scrB_->value() : 0;
  const int y = scrR_->isEnabled() ? -scrR_->value() : 0;
  colour_->move(x, y);
  mask_->move(x, y);
}

void TextureView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  arrangeParts();
}

}  // namespace glyphmill
