#include "ui/widget_placement.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace glyphmill {

namespace {
constexpr int kButtonPadding = 16;  // frame and margins on both sides of a push button's caption
}

int CaptionRoom(const QWidget* widget) {
  if (auto* check = qobject_cast<const QCheckBox*>(widget)) return check->sizeHint().width();
  if (auto* button = qobject_cast<const QAbstractButton*>(widget))
    return button->fontMetrics().horizontalAdvance(button->text().remove('&')) + kButtonPadding;
  if (auto* label = qobject_cast<const QLabel*>(widget)) return label->sizeHint().width();
  if (auto* spin = qobject_cast<const QAbstractSpinBox*>(widget)) return spin->sizeHint().width();
  return 0;
}

void PlaceAt(QWidget* widget, int x, int y, int width, int height) {
  int w = std::max(width, CaptionRoom(widget));
  int h = height;
  if (qobject_cast<QLabel*>(widget) || qobject_cast<QCheckBox*>(widget))
    h = std::max(h, widget->sizeHint().height());
  else if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
           qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractSpinBox*>(widget))
    h = std::max(h, widget->fontMetrics().height() + 6);
  widget->setGeometry(x, y, w, h);
}

}  // namespace glyphmill
