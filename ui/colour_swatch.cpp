#include "ui/colour_swatch.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/system_colours.h"

namespace glyphmill {

ColourSwatch::ColourSwatch(QWidget* parent) : QWidget(parent) { setCursor(Qt::PointingHandCursor); }

void ColourSwatch::setColour(uint32_t colour) {
  colour_ = colour;
  update();
}

void ColourSwatch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::black);
  painter.setBrush(ResolveColourRef(colour_, palette()));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColourSwatch::mouseReleaseEvent(QMouseEvent* event) {
  if (rect().contains(event->position().toPoint())) emit released();
  QWidget::mouseReleaseEvent(event);
}

}  // namespace glyphmill
