#include "ui/texture_view.h"

#include <QSignalBlocker>

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>

#include "ui/widget_placement.h"

namespace glyphmill {

namespace {
constexpr int kFrameInset = 4;          // the tab page's border around the panel
const QColor kMarkColour(255, 0, 255);  // the frame of the inspected cell: magenta shows on any texture
}  // namespace

// ---- TexturePicture

void TexturePicture::setImage(QImage image) {
  image_ = std::move(image);
  resize(zoom_.scaled(image_.size()));
  update();
}

void TexturePicture::setZoom(const TextureZoom& zoom) {
  zoom_ = zoom;
  resize(zoom_.scaled(image_.size()));
  update();
}

void TexturePicture::setMark(const QRect& cell) {
  if (cell == mark_) return;
  mark_ = cell;
  update();
}

void TexturePicture::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  paintTexture(painter, event->rect());
  if (!mark_.isEmpty()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    QPen pen(kMarkColour);
    pen.setCosmetic(true);
    pen.setWidth(1);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QPointF topLeft = zoom_.pictureAt(mark_.topLeft());
    const QPointF bottomRight = zoom_.pictureAt(QPointF(mark_.x() + mark_.width(), mark_.y() + mark_.height()));
    // The frame lies on the cell's outermost screen pixels.
    painter.drawRect(QRectF(topLeft, bottomRight).adjusted(0, 0, -1, -1).toAlignedRect().adjusted(0, 0, -1, -1));
  }
}

void TexturePicture::paintTexture(QPainter& painter, const QRect& e) {
  const double s = zoom_.scale();
  if (s == 1.0) {
    const QRect exposed = e & image_.rect();
    if (!exposed.isEmpty()) painter.drawImage(exposed.topLeft(), image_, exposed);
  } else if (!image_.isNull()) {
    // The texture pixels behind the exposed part, whole pixels only, so that every pixel lands on
    // the same screen square whichever part is repainted.
    const int x0 = std::max(0, static_cast<int>(std::floor(e.left() / s)));
    const int y0 = std::max(0, static_cast<int>(std::floor(e.top() / s)));
    const int x1 = std::min(image_.width(), static_cast<int>(std::ceil((e.right() + 1) / s)));
    const int y1 = std::min(image_.height(), static_cast<int>(std::ceil((e.bottom() + 1) / s)));
    if (x1 > x0 && y1 > y0) {
      painter.setRenderHint(QPainter::SmoothPixmapTransform, !zoom_.nearestNeighbour());
      const QRect source(x0, y0, x1 - x0, y1 - y0);
      painter.drawImage(QRectF(x0 * s, y0 * s, source.width() * s, source.height() * s), image_, source);
    }
  }
}

// ---- CompositePicture

void CompositePicture::setSource(const QImage& colour, const QImage& mask, PageAlpha alpha,
                                 const std::optional<QColor>& backdrop) {
  colour_ = colour.convertToFormat(QImage::Format_RGB888);
  mask_ = mask.convertToFormat(QImage::Format_RGB888);
  alpha_ = alpha;
  backdrop_ = backdrop;
  setImage(CompositeImage(colour_, mask_, backdrop_, alpha_));
}

void CompositePicture::paintTexture(QPainter& painter, const QRect& exposed) {
  if (zoom().scale() == 1.0 || colour_.isNull()) {
    TexturePicture::paintTexture(painter, exposed);
    return;
  }
  const QRect area = exposed & rect();
  if (!area.isEmpty())
    painter.drawImage(area.topLeft(), FilteredComposite(colour_, mask_, backdrop_, alpha_, zoom().scale(), area));
}

// ---- TextureView

TextureView::TextureView(QWidget* parent) : QWidget(parent) {
  tabs_ = new QTabBar(this);
  tabs_->setObjectName("Tab");
  tabs_->addTab("Font");
  tabs_->addTab("Mask");
  tabs_->addTab("Composite");
  tabs_->setDrawBase(false);
  frame_ = new QWidget(this);
  frame_->setAutoFillBackground(true);
  panel_ = new QWidget(frame_);
  panel_->setObjectName("pnl");
  QPalette white = panel_->palette();
  white.setColor(QPalette::Window, Qt::white);
  panel_->setPalette(white);
  panel_->setAutoFillBackground(true);
  panel_->setMouseTracking(true);
  panel_->installEventFilter(this);
  colour_ = new TexturePicture(panel_);
  colour_->setObjectName("img");
  mask_ = new TexturePicture(panel_);
  mask_->setObjectName("mask");
  mask_->hide();
  composite_ = new CompositePicture(panel_);
  composite_->setObjectName("composite");
  composite_->hide();
  for (TexturePicture* picture : pictures()) {
    picture->setMouseTracking(true);
    picture->installEventFilter(this);
  }
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

  // The zoom commands: window-wide shortcuts, also offered as buttons in the tab row.
  zoomInAction_ = makeAction("Zoom In", {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
                             &TextureView::zoomIn);
  zoomOutAction_ = makeAction("Zoom Out", {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, &TextureView::zoomOut);
  actualSizeAction_ = makeAction("Actual Size", {QKeySequence(Qt::CTRL | Qt::Key_0)}, &TextureView::zoomActualSize);
  fitAction_ = makeAction("Fit", {}, &TextureView::zoomToFit);

  zoomRow_ = new QWidget(this);
  auto* row = new QHBoxLayout(zoomRow_);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  const auto addButton = [&](QAction* action, const QString& text, const char* name) {
    auto* button = new QToolButton(zoomRow_);
    button->setDefaultAction(action);
    button->setText(text);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setMinimumWidth(CaptionRoom(button));
    row->addWidget(button);
    return button;
  };
  pageBox_ = new QSpinBox(zoomRow_);
  pageBox_->setObjectName("texturePage");
  pageBox_->setToolTip("The texture page shown");
  pageBox_->setPrefix("Page ");
  pageBox_->setRange(1, 1);
  pageBox_->hide();  // shown when a generation fills several pages
  connect(pageBox_, &QSpinBox::valueChanged, this, [this](int value) { emit texturePageChosen(value - 1); });
  row->addWidget(pageBox_);
  addButton(zoomOutAction_, QString(QChar(0x2212)), "zoomOut");
  zoomLabel_ = new QLabel("100%", zoomRow_);
  zoomLabel_->setObjectName("zoomLabel");
  zoomLabel_->setAlignment(Qt::AlignCenter);
  zoomLabel_->setMinimumWidth(zoomLabel_->fontMetrics().horizontalAdvance("800%") + 6);
  row->addWidget(zoomLabel_);
  addButton(zoomInAction_, "+", "zoomIn");
  addButton(actualSizeAction_, "1:1", "actualSize");
  addButton(fitAction_, "Fit", "fit");

  backdropMenu_ = new QMenu("Backdrop", this);
  const auto addBackdrop = [this](const QString& text, std::optional<QColor> colour) {
    connect(backdropMenu_->addAction(text), &QAction::triggered, this, [this, colour] { setBackdrop(colour); });
  };
  addBackdrop("Checkerboard", std::nullopt);
  addBackdrop("Black", QColor(Qt::black));
  addBackdrop("White", QColor(Qt::white));
  addBackdrop("Grey", QColor(128, 128, 128));
  connect(backdropMenu_->addAction("Other Colour..."), &QAction::triggered, this,
          &TextureView::backdropColourRequested);
  backdropButton_ = new QToolButton(zoomRow_);
  backdropButton_->setObjectName("backdrop");
  backdropButton_->setText("Backdrop");
  backdropButton_->setToolTip("The backdrop under the Composite page");
  backdropButton_->setMenu(backdropMenu_);
  backdropButton_->setPopupMode(QToolButton::InstantPopup);
  backdropButton_->setAutoRaise(true);
  backdropButton_->setMinimumWidth(CaptionRoom(backdropButton_) + 12);  // room for the menu arrow
  backdropButton_->hide();                                              // shown with the Composite page
  row->addWidget(backdropButton_);
}

void TextureView::setTexturePages(int count, int shown) {
  const QSignalBlocker block(pageBox_);
  pageBox_->setRange(1, std::max(count, 1));
  pageBox_->setSuffix(QStringLiteral(" of %1").arg(std::max(count, 1)));
  pageBox_->setValue(shown + 1);
  const bool several = count > 1;
  if (several != pageBox_->isVisible()) {
    pageBox_->setVisible(several);
    arrangeParts();
  }
}

QAction* TextureView::makeAction(const QString& text, const QList<QKeySequence>& keys, void (TextureView::*slot)()) {
  auto* action = new QAction(text, this);
  action->setShortcuts(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  connect(action, &QAction::triggered, this, slot);
  addAction(action);
  return action;
}

void TextureView::setImages(const QImage& colour, const QImage& mask, const QImage& page, PageAlpha alpha) {
  pageImage_ = page;
  pageAlpha_ = alpha;
  colour_->setImage(colour);
  mask_->setImage(mask);
  // A new texture may place every cell elsewhere: the pointer's next move finds its cell again.
  setMarkedCell({});
  setHoverText({});
  compositeStale_ = true;
  if (page_ == kCompositePage) refreshComposite();
}

void TextureView::refreshComposite() {
  if (!compositeStale_) return;
  const bool ownPage = !pageImage_.isNull() && pageImage_.size() == colour_->image().size();
  composite_->setSource(ownPage ? pageImage_ : colour_->image(), mask_->image(),
                        ownPage ? pageAlpha_ : PageAlpha::Straight, backdrop_);
  compositeStale_ = false;
}

void TextureView::setBackdrop(std::optional<QColor> colour) {
  backdrop_ = colour;
  compositeStale_ = true;
  if (page_ == kCompositePage) refreshComposite();
}

void TextureView::showPage(int index) {
  if (index < kFontPage || index > kCompositePage) return;
  page_ = index;
  if (index == kCompositePage) refreshComposite();
  colour_->setVisible(index == kFontPage);
  mask_->setVisible(index == kMaskPage);
  composite_->setVisible(index == kCompositePage);
  backdropButton_->setVisible(index == kCompositePage);
  if (tabs_->currentIndex() != index) {
    const QSignalBlocker block(tabs_);
    tabs_->setCurrentIndex(index);
  }
  arrangeParts();
}

void TextureView::arrangeParts() {
  const int tabHeight = std::max(tabs_->sizeHint().height(), zoomRow_->sizeHint().height());
  const int rowWidth = zoomRow_->sizeHint().width();
  const int tabWidth = std::min(tabs_->sizeHint().width(), std::max(0, width() - rowWidth - 4));
  tabs_->setGeometry(0, 0, tabWidth, tabs_->sizeHint().height());
  zoomRow_->setGeometry(std::max(tabWidth, width() - rowWidth), 0, std::min(rowWidth, width() - tabWidth), tabHeight);
  frame_->setGeometry(0, tabHeight, width(), std::max(0, height() - tabHeight));
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const int panelWidth = std::max(0, frame_->width() - 2 * kFrameInset - bar);
  const int panelHeight = std::max(0, frame_->height() - 2 * kFrameInset - bar);
  panel_->setGeometry(kFrameInset, kFrameInset, panelWidth, panelHeight);
  scrB_->setGeometry(kFrameInset, kFrameInset + panelHeight, panelWidth, bar);
  scrR_->setGeometry(kFrameInset + panelWidth, kFrameInset, bar, panelHeight);
}

void TextureView::layoutScrollBars(int imageWidth, int imageHeight) {
  imageSize_ = QSize(imageWidth, imageHeight);
  const QSize shown = zoom_.scaled(imageSize_);
  const bool horizontal = shown.width() > panel_->width();
  const bool vertical = shown.height() > panel_->height();
  scrB_->setEnabled(horizontal);
  scrR_->setEnabled(vertical);
  // Qt's range does not shrink by the page, so the page step only sizes the thumb.
  scrB_->setMaximum(horizontal ? shown.width() - panel_->width() : 0);
  scrB_->setPageStep(std::max(1, panel_->width()));
  scrB_->setSingleStep(std::max(1, static_cast<int>(zoom_.scale() * 16)));
  scrR_->setMaximum(vertical ? shown.height() - panel_->height() : 0);
  scrR_->setPageStep(std::max(1, panel_->height()));
  scrR_->setSingleStep(std::max(1, static_cast<int>(zoom_.scale() * 16)));
  panTo();
}

void TextureView::panTo() {
  const int x = scrB_->isEnabled() ? -scrB_->value() : 0;
  const int y = scrR_->isEnabled() ? -scrR_->value() : 0;
  for (TexturePicture* picture : pictures()) picture->move(x, y);
}

QPoint TextureView::imagePixelAtPanel(QPoint panelPos) const { return zoom_.imagePixelAt(panelPos - colour_->pos()); }

void TextureView::setZoom(double scale, std::optional<QPoint> panelAnchor) {
  const QPoint anchor = panelAnchor.value_or(QPoint(panel_->width() / 2, panel_->height() / 2));
  // The texture point under the anchor stays under it.
  const QPointF texturePoint = QPointF(anchor - colour_->pos()) / zoom_.scale();
  zoom_.setScale(scale);
  applyZoom();
  const QPointF picturePoint = zoom_.pictureAt(texturePoint);
  if (scrB_->isEnabled()) scrB_->setValue(static_cast<int>(std::lround(picturePoint.x() - anchor.x())));
  if (scrR_->isEnabled()) scrR_->setValue(static_cast<int>(std::lround(picturePoint.y() - anchor.y())));
  panTo();
}

void TextureView::applyZoom() {
  for (TexturePicture* picture : pictures()) picture->setZoom(zoom_);
  zoomLabel_->setText(QStringLiteral("%1%").arg(zoom_.percent()));
  zoomInAction_->setEnabled(zoom_.scale() < TextureZoom::kMax);
  zoomOutAction_->setEnabled(zoom_.scale() > TextureZoom::kMin);
  layoutScrollBars(imageSize_.width(), imageSize_.height());
}

void TextureView::zoomIn() { setZoom(zoom_.nextStepUp()); }
void TextureView::zoomOut() { setZoom(zoom_.nextStepDown()); }
void TextureView::zoomActualSize() { setZoom(1.0); }
void TextureView::zoomToFit() { setZoom(TextureZoom::FitScale(imageSize_, panel_->size())); }

void TextureView::setMarkedCell(const QRect& cell) {
  for (TexturePicture* picture : pictures()) picture->setMark(cell);
}

void TextureView::setHoverText(const QString& text) {
  if (text == hoverText_) return;
  hoverText_ = text;
  if (text.isEmpty())
    QToolTip::hideText();
  else
    QToolTip::showText(QCursor::pos(), text, panel_);
}

void TextureView::hoverAt(QPoint panelPos) {
  const QPoint pixel = imagePixelAtPanel(panelPos);
  if (pixel.x() >= 0 && pixel.y() >= 0 && pixel.x() < imageSize_.width() && pixel.y() < imageSize_.height())
    emit pointerOverPixel(pixel);
  else
    emit pointerLeftTexture();
}

void TextureView::wheelAt(const QWheelEvent& wheel, QPoint panelPos) {
  const int delta = wheel.angleDelta().y() != 0 ? wheel.angleDelta().y() : wheel.angleDelta().x();
  if (delta == 0) return;
  if (wheel.modifiers() & Qt::ControlModifier) {
    setZoom(delta > 0 ? zoom_.nextStepUp() : zoom_.nextStepDown(), panelPos);
    return;
  }
  // A plain wheel scrolls down and up, with Shift left and right.
  QScrollBar* bar = (wheel.modifiers() & Qt::ShiftModifier) || wheel.angleDelta().y() == 0 ? scrB_ : scrR_;
  if (bar->isEnabled()) bar->setValue(bar->value() - delta * bar->singleStep() * 3 / 120);
}

bool TextureView::eventFilter(QObject* watched, QEvent* event) {
  QWidget* widget = qobject_cast<QWidget*>(watched);
  if (!widget || (widget != panel_ && widget->parentWidget() != panel_)) return QWidget::eventFilter(watched, event);
  const auto toPanel = [&](QPointF pos) {
    return widget == panel_ ? pos.toPoint() : widget->mapToParent(pos.toPoint());
  };
  switch (event->type()) {
    case QEvent::Wheel: {
      const auto* wheel = static_cast<QWheelEvent*>(event);
      wheelAt(*wheel, toPanel(wheel->position()));
      return true;
    }
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::MiddleButton) break;
      panning_ = true;
      panStart_ = mouse->globalPosition().toPoint();
      panScrollStart_ = QPoint(scrB_->value(), scrR_->value());
      panel_->setCursor(Qt::ClosedHandCursor);
      return true;
    }
    case QEvent::MouseMove: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (panning_) {
        const QPoint moved = mouse->globalPosition().toPoint() - panStart_;
        scrB_->setValue(panScrollStart_.x() - moved.x());
        scrR_->setValue(panScrollStart_.y() - moved.y());
      }
      hoverAt(toPanel(mouse->position()));
      return panning_;
    }
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::MiddleButton || !panning_) break;
      panning_ = false;
      panel_->unsetCursor();
      return true;
    }
    case QEvent::Leave:
      if (widget == panel_) emit pointerLeftTexture();
      break;
    default: break;
  }
  return QWidget::eventFilter(watched, event);
}

void TextureView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  arrangeParts();
}

}  // namespace glyphmill
