#include "ui/about_picture.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace glyphmill {

QImage MakeAboutPicture() {
  // Drawn in a 32-bit image (QPainter's native target) and converted once to 24 bits.
  QImage art(kAboutPictureWidth, kAboutPictureHeight, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&art);
  p.setRenderHint(QPainter::Antialiasing);

  QLinearGradient sky(0, 0, 0, kAboutPictureHeight);
  sky.setColorAt(0.0, QColor(40, 70, 150));
  sky.setColorAt(0.55, QColor(110, 160, 230));
  sky.setColorAt(1.0, QColor(245, 200, 120));
  p.fillRect(art.rect(), sky);

  // A loose checker of texture cells, like a packed font texture seen from afar.
  const int cell = 16;
  for (int y = 0; y * cell < kAboutPictureHeight; ++y) {
    for (int x = 0; x * cell < kAboutPictureWidth; ++x) {
      if ((x + y) % 2) continue;
      p.fillRect(QRect(x * cell + 1, y * cell + 1, cell - 2, cell - 2), QColor(255, 255, 255, 40));
    }
  }

  // The letters in a rounded cell of their own.
  const QRectF card(22, 26, 90, 80);
  p.setPen(QPen(QColor(30, 30, 60), 2));
  p.setBrush(QColor(250, 250, 245, 220));
  p.drawRoundedRect(card, 10, 10);
  QFont font(QStringLiteral("DejaVu Serif"));
  font.setPixelSize(46);
  font.setBold(true);
  QPainterPath letters;
  letters.addText(0, 0, font, QStringLiteral("Gm"));
  const QRectF box = letters.boundingRect();
  letters.translate(card.center() - box.center());
  p.setPen(QPen(QColor(20, 20, 40), 1.5));
  p.setBrush(QColor(200, 60, 40));
  p.drawPath(letters);
  p.end();

  return art.convertToFormat(QImage::Format_RGB888);
}

}  // namespace glyphmill
