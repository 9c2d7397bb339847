#include "ui/status_bar.h"

#include <QPaintEvent>
#include <QPainter>

#include "settings/rounding.h"

namespace glyphmill {

namespace {

constexpr int kBandCount = 41;
constexpr int kTextIndent = 3;
constexpr int kPanelGap = 2;  // the panels' bevel spacing

struct Gradient {
  int first[3];
  int last[3];
};
constexpr Gradient kSuccessGradient{{117, 255, 117}, {224, 223, 227}};
constexpr Gradient kErrorGradient{{255, 180, 180}, {250, 100, 100}};

}  // namespace

StatusKind StatusKindOf(const std::string& text) {
  if (!text.empty() && text[0] == '.') return StatusKind::Success;
  if (!text.empty() && text[0] == '!') return StatusKind::Error;
  return StatusKind::Plain;
}

std::string ShownStatusText(const std::string& text) {
  return StatusKindOf(text) == StatusKind::Plain ? text : text.substr(1);
}

std::vector<StatusBand> StatusGradientBands(StatusKind kind, int left, int right) {
  std::vector<StatusBand> bands;
  if (kind == StatusKind::Plain) return bands;
  const Gradient& g = kind == StatusKind::Success ? kSuccessGradient : kErrorGradient;
  const int step = static_cast<int>(RoundHalfEven(static_cast<double>(right - left) / kBandCount));
  bands.reserve(kBandCount);
  for (int i = 0; i < kBandCount; ++i) {
    // The blend is computed in single precision, as the gradient was designed.
    const float t = static_cast<float>(i) / static_cast<float>(kBandCount - 1);
    const float u = 1.0f - t;
    int c[3];
    for (int k = 0; k < 3; ++k)
      c[k] = static_cast<int>(RoundHalfEven(static_cast<float>(g.first[k]) * u + static_cast<float>(g.last[k]) * t));
    StatusBand band;
    band.left = left + i * step;
    band.right = i == kBandCount - 1 ? right : left + (i + 1) * step;
    band.colour = QColor(c[0], c[1], c[2]);
    bands.push_back(band);
  }
  return bands;
}

void DrawStatusPanel(QPainter& painter, const QRect& rect, const std::string& text, const QFont& font,
                     const QPalette& palette) {
  painter.save();
  painter.setPen(Qt::NoPen);
  const StatusKind kind = StatusKindOf(text);
  if (kind == StatusKind::Plain) {
    painter.fillRect(rect, palette.color(QPalette::Button));
  } else {
    const int right = rect.left() + rect.width();
    for (const StatusBand& band : StatusGradientBands(kind, rect.left(), right))
      if (band.right > band.left)
        painter.fillRect(QRect(band.left, rect.top(), band.right - band.left, rect.height()), band.colour);
  }
  painter.setClipRect(rect);
  painter.setFont(font);
  painter.setPen(palette.color(QPalette::ButtonText));
  const QRect textRect(rect.left() + kTextIndent, rect.top(), rect.width() - kTextIndent, rect.height());
  painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   QString::fromUtf8(ShownStatusText(text).c_str()));
  painter.restore();
}

StatusBar::StatusBar(QWidget* parent) : QWidget(parent), message_("General Status"), characters_("1000 Characters") {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void StatusBar::setPanelTexts(const std::string& message, const std::string& characters) {
  message_ = message;
  characters_ = characters;
}

void StatusBar::setFirstPanelWidth(int width) {
  firstPanelWidth_ = width;
  update();
}

void StatusBar::setPageText(const std::string& text) {
  if (text == pageText_) return;
  pageText_ = text;
  update();
}

int StatusBar::pagePanelWidth() const {
  if (pageText_.empty()) return 0;
  return fontMetrics().horizontalAdvance(QString::fromStdString(pageText_)) + 16 + kPanelGap;
}

QRect StatusBar::panelRect(int panel) const {
  const int pages = pagePanelWidth();
  const int end = std::max(0, width() - pages);
  const int first = std::max(0, std::min(firstPanelWidth_ - pages, end));
  if (panel == 0) return QRect(0, kPanelGap, first, height() - kPanelGap);
  if (panel == 1)
    return QRect(first + kPanelGap, kPanelGap, std::max(0, end - first - kPanelGap), height() - kPanelGap);
  if (pages == 0) return {};
  return QRect(end + kPanelGap, kPanelGap, std::max(0, width() - end - kPanelGap), height() - kPanelGap);
}

QSize StatusBar::sizeHint() const { return QSize(828, std::max(kHeight, fontMetrics().height() + 6)); }

void StatusBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  DrawStatusPanel(painter, panelRect(0), message_, font(), palette());
  DrawStatusPanel(painter, panelRect(1), characters_, font(), palette());
  if (!pageText_.empty()) DrawStatusPanel(painter, panelRect(2), pageText_, font(), palette());
}

}  // namespace glyphmill
