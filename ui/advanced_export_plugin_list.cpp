#include "ui/advanced_export_plugin_list.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace glyphmill {

namespace {

constexpr int kHeaderHeight = 24;
constexpr int kButtonHeight = 22;
constexpr int kGap = 2;
const QColor kButtonColour(249, 249, 249);
const QColor kButtonHoverColour(232, 237, 249);
const QColor kButtonSelectedColour(207, 207, 207);

}  // namespace

PluginCategoryList::PluginCategoryList(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
}

int PluginCategoryList::addCategory(const QString& caption, const QColor& colour, const QColor& gradientColour) {
  categories_.push_back(Category{caption, colour, gradientColour, false, {}, {}});
  relayout();
  return static_cast<int>(categories_.size()) - 1;
}

void PluginCategoryList::addButton(int category, const QString& caption, int pluginIndex) {
  if (category < 0 || category >= categoryCount()) return;
  categories_[category].buttons.push_back(Button{caption, pluginIndex, {}});
  relayout();
}

QString PluginCategoryList::categoryCaption(int category) const {
  return category >= 0 && category < categoryCount() ? categories_[category].caption : QString();
}

QStringList PluginCategoryList::buttonCaptions(int category) const {
  QStringList out;
  if (category < 0 || category >= categoryCount()) return out;
  for (const Button& b : categories_[category].buttons) out << b.caption;
  return out;
}

bool PluginCategoryList::folded(int category) const {
  return category >= 0 && category < categoryCount() && categories_[category].folded;
}

void PluginCategoryList::setFolded(int category, bool folded) {
  if (category < 0 || category >= categoryCount()) return;
  categories_[category].folded = folded;
  relayout();
}

int PluginCategoryList::selectedPluginIndex() const {
  if (selected_.category < 0 || selected_.button < 0) return -1;
  return categories_[selected_.category].buttons[selected_.button].pluginIndex;
}

void PluginCategoryList::selectButton(int category, int button) {
  if (category >= 0 && category < categoryCount() && button >= 0 &&
      button < static_cast<int>(categories_[category].buttons.size())) {
    selected_ = {category, button};
  } else {
    selected_ = {};
  }
  update();
}

QRect PluginCategoryList::buttonRect(int category, int button) const {
  if (category < 0 || category >= categoryCount()) return {};
  const auto& buttons = categories_[category].buttons;
  if (button < 0 || button >= static_cast<int>(buttons.size())) return {};
  return buttons[button].rect;
}

QRect PluginCategoryList::headerRect(int category) const {
  return category >= 0 && category < categoryCount() ? categories_[category].header : QRect();
}

QSize PluginCategoryList::sizeHint() const { return QSize(189, contentHeight_); }

void PluginCategoryList::relayout() {
  int y = 0;
  const int w = width();
  for (Category& c : categories_) {
    c.header = QRect(0, y, w, kHeaderHeight);
    y += kHeaderHeight + kGap;
    for (Button& b : c.buttons) {
      if (c.folded) {
        b.rect = QRect();
        continue;
      }
      b.rect = QRect(0, y, w, kButtonHeight);
      y += kButtonHeight + kGap;
    }
  }
  contentHeight_ = y;
  setMinimumHeight(contentHeight_);
  updateGeometry();
  update();
}

void PluginCategoryList::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  relayout();
}

PluginCategoryList::Hit PluginCategoryList::hitAt(const QPoint& pos) const {
  for (int ci = 0; ci < categoryCount(); ++ci) {
    const Category& c = categories_[ci];
    if (c.header.contains(pos)) return {ci, -1};
    for (int bi = 0; bi < static_cast<int>(c.buttons.size()); ++bi)
      if (c.buttons[bi].rect.contains(pos)) return {ci, bi};
  }
  return {};
}

void PluginCategoryList::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QFont bold = font();
  bold.setBold(true);
  p.setFont(bold);
  for (int ci = 0; ci < categoryCount(); ++ci) {
    const Category& c = categories_[ci];
    QLinearGradient g(c.header.topLeft(), c.header.bottomLeft());
    g.setColorAt(0, c.colour);
    g.setColorAt(1, c.gradient);
    p.fillRect(c.header, g);
    p.setPen(c.gradient.darker(140));
    p.drawRect(c.header.adjusted(0, 0, -1, -1));
    // The fold sign: minus while open, plus while folded.
    const QRect sign(c.header.left() + 6, c.header.center().y() - 4, 9, 9);
    p.setPen(Qt::black);
    p.drawRect(sign);
    p.drawLine(sign.left() + 2, sign.center().y(), sign.right() - 2, sign.center().y());
    if (c.folded) p.drawLine(sign.center().x(), sign.top() + 2, sign.center().x(), sign.bottom() - 2);
    p.drawText(c.header.adjusted(22, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, c.caption);

    for (int bi = 0; bi < static_cast<int>(c.buttons.size()); ++bi) {
      const Button& b = c.buttons[bi];
      if (b.rect.isEmpty()) continue;
      QColor fill = kButtonColour;
      if (selected_.category == ci && selected_.button == bi) {
        fill = kButtonSelectedColour;
      } else if (hover_.category == ci && hover_.button == bi) {
        fill = kButtonHoverColour;
      }
      p.fillRect(b.rect, fill);
      p.setPen(QColor(220, 220, 220));
      p.drawRect(b.rect.adjusted(0, 0, -1, -1));
      p.setPen(Qt::black);
      p.drawText(b.rect.adjusted(12, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, b.caption);
    }
  }
}

void PluginCategoryList::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const Hit hit = hitAt(event->position().toPoint());
  if (hit.category < 0) return;
  if (hit.button < 0) {
    setFolded(hit.category, !categories_[hit.category].folded);
  } else {
    selectButton(hit.category, hit.button);
  }
}

void PluginCategoryList::mouseMoveEvent(QMouseEvent* event) {
  const Hit hit = hitAt(event->position().toPoint());
  if (hit.category != hover_.category || hit.button != hover_.button) {
    hover_ = hit;
    update();
  }
}

void PluginCategoryList::leaveEvent(QEvent*) {
  hover_ = {};
  update();
}

}  // namespace glyphmill
