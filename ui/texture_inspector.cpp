#include "ui/texture_inspector.h"

#include "app/status_texts.h"

#include <algorithm>

#include "settings/unicode_blocks.h"

namespace glyphmill {

std::optional<std::size_t> PlacedCellAt(const std::vector<PlacedCharacter>& table, const std::vector<uint8_t>& placed,
                                        int x, int y) {
  const std::size_t count = std::min(table.size(), placed.size());
  for (std::size_t i = 0; i < count; ++i) {
    if (!placed[i]) continue;
    const PlacedCharacter& c = table[i];
    if (c.cellWidth == 0 || c.cellHeight == 0) continue;
    if (x >= c.cellX && y >= c.cellY && static_cast<int64_t>(x) < c.cellX + static_cast<int64_t>(c.cellWidth) &&
        static_cast<int64_t>(y) < c.cellY + static_cast<int64_t>(c.cellHeight))
      return i;
  }
  return std::nullopt;
}

QRect CellRect(const PlacedCharacter& cell) {
  return QRect(cell.cellX, cell.cellY, static_cast<int>(cell.cellWidth), static_cast<int>(cell.cellHeight));
}

QString InspectText(const PlacedCharacter& cell, int32_t pageCount) {
  const char16_t unit = cell.codeUnit;
  const QChar ch(unit);
  // A glyph is shown only where it is one: not for surrogate halves, controls or blanks.
  const bool showable = !ch.isSurrogate() && ch.isPrint() && !ch.isSpace();
  const QString glyph = showable ? QString(QChar(0x201C)) + ch + QChar(0x201D) + ' ' : QString();
  const std::string_view block = BlockName(BlockOf(cell.codeUnit));
  QString text = glyph + QStringLiteral("U+%1").arg(cell.codeUnit, 4, 16, QChar('0')).toUpper();
  if (!block.empty()) text += ' ' + QString::fromUtf8(block.data(), static_cast<qsizetype>(block.size()));
  text += QStringLiteral(" \u2014 cell %1, %2, %3 \u00D7 %4 \u2014 advances %5 before, %6 after")
              .arg(cell.cellX)
              .arg(cell.cellY)
              .arg(cell.cellWidth)
              .arg(cell.cellHeight)
              .arg(cell.advanceBefore)
              .arg(cell.advanceAfter);
  if (pageCount > 1)
    text +=
        QStringLiteral(" \u2014 ") + QString::fromStdString(status::PageOfPages(cell.page + 1, pageCount)).toLower();
  return text;
}

}  // namespace glyphmill
