#include "ui/cell_pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace glyphmill {

namespace {

QImage Blank(int width) {
  QImage img(width, kCellPictureHeight, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::white);
  return img;
}

// A horizontal band with a vertical gradient, optionally rounded at the left and/or right end.
// The rounded end is drawn by extending the band past the picture on the open side.
QImage Band(int width, QColor top, QColor bottom, bool roundLeft, bool roundRight, QColor edge) {
  QImage img = Blank(width);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal inset = 1.5;
  const qreal left = roundLeft ? inset : -12;
  const qreal right = roundRight ? width - inset : width + 12;
  QLinearGradient g(0, 0, 0, kCellPictureHeight);
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.setBrush(g);
  p.setPen(QPen(edge, 1));
  p.drawRoundedRect(QRectF(left, inset, right - left, kCellPictureHeight - 2 * inset), 7, 7);
  return img;
}

void Caption(QImage& img, const QString& text, QColor colour) {
  QPainter p(&img);
  p.setRenderHint(QPainter::TextAntialiasing);
  QFont f(QStringLiteral("Tahoma"));
  f.setPixelSize(11);
  f.setBold(true);
  p.setFont(f);
  p.setPen(colour);
  p.drawText(img.rect(), Qt::AlignCenter, text);
}

// The light well every option cell draws its mark in.
QImage OptionWell() {
  QImage img = Blank(kCellPictureWidth);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(200, 205, 215), 1));
  p.setBrush(QColor(246, 247, 250));
  p.drawRoundedRect(QRectF(14.5, 2.5, 22, 16), 4, 4);
  return img;
}

QImage Tick() {
  QImage img = OptionWell();
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(30, 150, 50), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  QPainterPath mark;
  mark.moveTo(19.5, 10.5);
  mark.lineTo(23.5, 14.5);
  mark.lineTo(31.5, 6);
  p.drawPath(mark);
  return img;
}

QImage Cross() {
  QImage img = OptionWell();
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(205, 40, 40), 2.4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(21, 6.5), QPointF(30, 14.5));
  p.drawLine(QPointF(30, 6.5), QPointF(21, 14.5));
  return img;
}

QImage Empty() {
  QImage img = Blank(kCellPictureWidth);
  QPainter p(&img);
  p.setPen(QPen(QColor(205, 205, 205), 1, Qt::DotLine));
  p.drawLine(18, 10, 33, 10);
  return img;
}

}  // namespace

CellPictures MakeCellPictures() {
  const QColor barTop(236, 236, 236), barBottom(196, 196, 200), barEdge(150, 150, 155);
  const QColor nameTop(225, 236, 252), nameBottom(170, 198, 240), nameEdge(95, 130, 190);
  const QColor simpleTop(255, 236, 190), simpleBottom(248, 190, 90), simpleEdge(190, 130, 40);
  const QColor titleText(70, 70, 70);

  CellPictures c;
  c.imgBarL = Band(kCellPictureWidth, barTop, barBottom, true, false, barEdge);
  c.imgBarC = Band(kCellPictureWidth, barTop, barBottom, false, false, barEdge);
  c.imgBarR = Band(kCellPictureWidth, barTop, barBottom, false, true, barEdge);
  c.imgRGB = Band(kCellPictureWidth, QColor(250, 226, 226), QColor(206, 226, 250), true, true, barEdge);
  Caption(c.imgRGB, QStringLiteral("RGB"), titleText);
  c.imgAlpha = Band(kCellPictureWidth, QColor(255, 255, 255), QColor(120, 120, 120), true, true, barEdge);
  Caption(c.imgAlpha, QStringLiteral("Alpha"), titleText);
  c.imgData = Band(kCellPictureWidth, QColor(254, 222, 205), QColor(250, 170, 120), true, true, barEdge);
  Caption(c.imgData, QStringLiteral("Data"), titleText);

  c.imgNameL = Band(kNameCapWidth, nameTop, nameBottom, true, false, nameEdge);
  c.imgNameC = Band(kCellPictureWidth, nameTop, nameBottom, false, false, nameEdge);
  c.imgNameR = Band(kCellPictureWidth, nameTop, nameBottom, false, true, nameEdge);

  c.imgSimpleL = Band(kCellPictureWidth, simpleTop, simpleBottom, true, false, simpleEdge);
  c.imgSimpleC = Band(kCellPictureWidth, simpleTop, simpleBottom, false, false, simpleEdge);
  Caption(c.imgSimpleC, QStringLiteral("simple"), QColor(110, 60, 10));
  c.imgSimpleR = Band(kCellPictureWidth, simpleTop, simpleBottom, false, true, simpleEdge);

  c.imgTick = Tick();
  c.imgCross = Cross();
  c.imgEmpty = Empty();
  return c;
}

}  // namespace glyphmill
