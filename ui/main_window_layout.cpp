// Anchors, LayoutMainWindow, the texture pages and the preview strip's reset.

#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>

#include "app/status_texts.h"
#include "settings/distance_field_mode.h"
#include "settings/generation_extras.h"
#include "ui/image_conversion.h"
#include "ui/legend_view.h"
#include "ui/main_window.h"
#include "ui/preview_strip.h"
#include "ui/status_bar.h"
#include "ui/system_colours.h"
#include "ui/texture_view.h"
#include "ui/widget_placement.h"

namespace glyphmill {

namespace {

// Design rectangles of the client area's regions (828 x 679). Left/top edges stay where they are;
// an edge anchored right or bottom keeps its distance to the client area's right or bottom edge.
constexpr int kTabLeft = 8, kTabTop = 8, kTabWidth = 543;
constexpr int kBarLeft = 8, kBarTop = 636, kBarWidth = 543, kBarHeight = 21;
constexpr int kEditLeft = 9, kEditWidth = 480, kButton4Left = 493, kButton4Width = 58;
constexpr int kZoomWidth = 52;  // the preview zoom list, between the text box and the button
constexpr int kPanelLeft = 556, kPanelTop = -1, kPanelWidth = 267, kPanelHeight = 665;
constexpr int kStatusPanelReserve = 120;    // the second status panel's share
constexpr int kMinTextureViewHeight = 120;  // what the preview strip always leaves the texture view

}  // namespace

void TForm1::applyAnchors() {
  const int W = client_->width(), H = client_->height();
  const int dx = W - kDesignWidth, dy = H - kDesignHeight;

  // Anchored left, right and bottom.
  ui.Bar->setGeometry(kBarLeft, kBarTop + dy, kBarWidth + dx, kBarHeight);
  // The "Preview" button keeps its right edge (anchored right and bottom); when its caption needs
  // more than its design width it grows leftwards and the text box gives up the room.
  const int buttonWidth = std::max(kButton4Width, CaptionRoom(ui.Button4));
  const int buttonRight = kButton4Left + kButton4Width + dx;
  ui.Button4->setGeometry(buttonRight - buttonWidth, kBarTop + dy, buttonWidth, kBarHeight);
  const int zoomWidth = std::max(kZoomWidth, ui.cmbPreviewZoom->sizeHint().width());
  ui.cmbPreviewZoom->setGeometry(ui.Button4->x() - 4 - zoomWidth, kBarTop + dy, zoomWidth, kBarHeight);
  const int editRight = std::min(kEditLeft + kEditWidth + dx, ui.cmbPreviewZoom->x() - 4);
  ui.Edit12->setGeometry(kEditLeft, kBarTop + dy, std::max(0, editRight - kEditLeft), kBarHeight);
  // Anchored top, right and bottom.
  ui.Panel1->setGeometry(kPanelLeft + dx, kPanelTop, kPanelWidth, kPanelHeight + dy);
  const int statusHeight = std::max(StatusBar::kHeight, ui.statBar->sizeHint().height());
  ui.statBar->setGeometry(0, H - statusHeight, W, statusHeight);
  // The texture view (all four sides) and the preview strip (left, right, bottom) get their
  // heights from the layout.
  ui.Tab->setGeometry(kTabLeft, kTabTop, kTabWidth + dx, ui.Tab->height());
  ui.Image3->setGeometry(kTabLeft, ui.Image3->y(), kTabWidth + dx, ui.Image3->height());
}

void TForm1::LayoutMainWindow() {
  // The preview strip is as high as the tallest cell of the last job table (twice or more for
  // the zoomed line of a distance-field font), but never higher than the layout can give it: the
  // texture view keeps kMinTextureViewHeight (negative spacing can make a "cell" taller than the
  // window).
  const int stripRoom = std::max(0, ui.Bar->y() - 2 - 2 - ui.Tab->y() - kMinTextureViewHeight);
  const int stripHeight =
      std::min(PreviewStripHeight(state_.tallestCell, IsDistanceField(state_.settings), previewZoom()), stripRoom);
  ResetPreviewStrip(ui.Image3->width(), stripHeight);
  // It sits 2 pixels above the progress bar, and the texture view ends 2 pixels above it.
  const int stripTop = ui.Bar->y() - stripHeight - 2;
  ui.Image3->setGeometry(ui.Image3->x(), stripTop, ui.Image3->width(), stripHeight);
  ui.Tab->setGeometry(ui.Tab->x(), ui.Tab->y(), ui.Tab->width(), std::max(0, stripTop - ui.Tab->y() - 2));
  ui.Tab->arrangeParts();
  // The scroll bars follow the colour image's size against the panel's.
  const Image24& shown = PageColour(state_.result, std::clamp<int32_t>(texturePage_, 0, PageCount(state_.result) - 1));
  ui.Tab->layoutScrollBars(shown.width(), shown.height());
  // The first status panel leaves 120 pixels to the second.
  ui.statBar->setFirstPanelWidth(ui.statBar->width() - kStatusPanelReserve);
}

void TForm1::resizeEvent(QResizeEvent* event) {
  // The client area follows through its own resize event (see eventFilter).
  QMainWindow::resizeEvent(event);
}

void TForm1::ShowTexturePage(int index) {
  ui.Tab->showPage(index);
  // The view repaints at once rather than when the event loop comes round.
  ui.Tab->panel()->repaint();
}

void TForm1::ResetPreviewStrip(int width, int height) {
  ui.Image3->reset(width, height, ResolveColourRefBgr(kColourButtonFace, palette()),
                   ResolveColourRefBgr(state_.settings.previewBackColour, palette()));
  // A preview once drawn is drawn again at the new size rather than left empty (a window resize,
  // the layout after a generation or an export).
  if (ui.Image3->previewDrawn()) DrawPreview();
}

void TForm1::DrawLegendSample() { ui.imgLeg->drawSample(state_.settings.fontNameString()); }

void TForm1::ShowImagesSoon() {
  if (imagesPending_) return;
  imagesPending_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (imagesPending_) ShowImages();
      },
      Qt::QueuedConnection);
}

void TForm1::ShowImages() {
  imagesPending_ = false;
  // One texture page at a time: the one picked, while the result has it.
  const int32_t pageCount = PageCount(state_.result);
  texturePage_ = std::clamp<int32_t>(texturePage_, 0, pageCount - 1);
  const Image24& shownColour = PageColour(state_.result, texturePage_);
  Image24 expandedMask;  // a later page's one-byte mask as an image
  const Image24& shownMask = PageMask(state_.result, texturePage_, expandedMask);
  QImage colour, mask;
  {
    std::lock_guard<std::mutex> guard(shownColour.lock());
    colour = ToQImage(shownColour);
  }
  {
    std::lock_guard<std::mutex> guard(shownMask.lock());
    mask = ToQImage(shownMask);
  }
  // The page exporters receive, when the job made one of its own (straight or premultiplied).
  QImage page;
  PageAlpha alpha = PageAlpha::Straight;
  const Image24& exported = ExportedColour(state_.result, texturePage_);
  if (&exported != &shownColour) {
    std::lock_guard<std::mutex> guard(exported.lock());
    page = ToQImage(exported);
    if (state_.result.pagePixels == kPagePixelsPremultiplied) alpha = PageAlpha::Premultiplied;
  }
  ui.Tab->setImages(colour, mask, page, alpha);
  ui.Tab->setTexturePages(pageCount, texturePage_);
  ui.statBar->setPageText(pageCount > 1 ? status::PageOfPages(texturePage_ + 1, pageCount) : std::string());
  ui.Tab->layoutScrollBars(shownColour.width(), shownColour.height());
}

}  // namespace glyphmill
