#include "ui/font_list_delegate.h"

#include <QFontMetrics>
#include <QPainter>

namespace glyphmill {

namespace {

QFont NameFont() {
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(11);  // 8 points at 96 pixels per inch
  return font;
}

QFont SampleFontOf(const QString& name) {
  QFont font(name);
  font.setPixelSize(13);  // 10 points at 96 pixels per inch
  return font;
}

QPixmap KindIcon(const QColor& paper, const QColor& ink, const QString& letters) {
  QPixmap icon(16, 16);
  icon.fill(Qt::transparent);
  QPainter p(&icon);
  p.setPen(QColor(96, 96, 96));
  p.setBrush(paper);
  p.drawRect(1, 1, 13, 13);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(9);
  font.setBold(true);
  p.setFont(font);
  p.setPen(ink);
  p.drawText(QRect(1, 1, 14, 14), Qt::AlignCenter, letters);
  return icon;
}

// The mark of a family that came from a font file: a small dog-eared page over the kind icon's
// lower right corner.
void DrawFileMark(QPainter* p, int left, int top) {
  const QPolygon page({QPoint(left, top), QPoint(left + 5, top), QPoint(left + 8, top + 3), QPoint(left + 8, top + 9),
                       QPoint(left, top + 9)});
  p->setPen(QColor(0, 110, 40));
  p->setBrush(QColor(225, 255, 225));
  p->drawPolygon(page);
  p->drawPolyline(QPolygon({QPoint(left + 5, top), QPoint(left + 5, top + 3), QPoint(left + 8, top + 3)}));
}

}  // namespace

QString FontSampleWord(const QString& fontName) {
  return fontName == QStringLiteral("Comic Sans MS") ? QStringLiteral("YUCK!") : QStringLiteral("Sample");
}

FontListWidths MeasureFontList(const FontCatalogue& catalogue, int comboWidth) {
  FontListWidths widths;
  widths.nameColumn = comboWidth - 18;
  const QFontMetrics nameMetrics(NameFont());
  for (const FontCatalogueEntry& entry : catalogue.entries) {
    const QString name = QString::fromUtf8(entry.name.c_str());
    widths.nameColumn = std::max(widths.nameColumn, nameMetrics.horizontalAdvance(name));
    widths.widestSample =
        std::max(widths.widestSample, QFontMetrics(SampleFontOf(name)).horizontalAdvance(QStringLiteral("Sample")));
  }
  return widths;
}

const std::vector<QPixmap>& FontKindIcons() {
  static const std::vector<QPixmap> icons = {
      KindIcon(QColor(255, 255, 255), QColor(0, 70, 170), QStringLiteral("T")),
      KindIcon(QColor(255, 255, 230), QColor(120, 90, 0), QStringLiteral("O")),
      KindIcon(QColor(235, 235, 235), QColor(160, 0, 0), QStringLiteral("a")),
  };
  return icons;
}

FontListDelegate::FontListDelegate(const FontCatalogue& catalogue, QObject* parent)
    : QStyledItemDelegate(parent), catalogue_(catalogue) {}

void FontListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const QRect r = option.rect;
  const int row = index.row();
  const QString name = index.data(Qt::DisplayRole).toString();
  painter->save();
  painter->fillRect(r, Qt::white);
  if (option.state & QStyle::State_Selected)
    painter->fillRect(r, option.palette.color(QPalette::Highlight).lighter(170));
  int kind = 2;
  bool fromFile = false;
  if (row >= 0 && static_cast<size_t>(row) < catalogue_.entries.size()) {
    kind = catalogue_.entries[static_cast<size_t>(row)].kindIcon;
    fromFile = catalogue_.entries[static_cast<size_t>(row)].fromFile;
  }
  const std::vector<QPixmap>& icons = FontKindIcons();
  painter->drawPixmap(r.left() + 2, r.top() + 1, icons[static_cast<size_t>(std::clamp(kind, 0, 2))]);
  if (fromFile) DrawFileMark(painter, r.left() + 8, r.top() + 7);  // a pixel clear of the name
  // Text positions are the top-left corners of the text lines.
  painter->setPen(Qt::black);
  const QFont nameFont = NameFont();
  painter->setFont(nameFont);
  painter->drawText(r.left() + 18, r.top() + 3 + QFontMetrics(nameFont).ascent(), name);
  const QFont sampleFont = SampleFontOf(name);
  painter->setFont(sampleFont);
  painter->drawText(r.left() + 18 + nameColumn_, r.top() + 2 + QFontMetrics(sampleFont).ascent(), FontSampleWord(name));
  painter->restore();
}

QSize FontListDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
  return QSize(nameColumn_ + 18 + 80, kRowHeight);
}

}  // namespace glyphmill
