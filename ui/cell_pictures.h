// The fifteen pictures of the Advanced Export window's job grid: our own artwork, drawn in code
// at the sizes the grid expects. All are 51 x 21 pixels except imgNameL, 18 x 21. They are never
// shown by themselves, only drawn unscaled into grid cells.
#pragma once

#include <QImage>

namespace glyphmill {

inline constexpr int kCellPictureWidth = 51;
inline constexpr int kCellPictureHeight = 21;
inline constexpr int kNameCapWidth = 18;  // imgNameL

struct CellPictures {
  // Header row: name columns (left end, tiled middle, right end) and the three option titles.
  QImage imgBarL, imgBarC, imgBarR;
  QImage imgRGB, imgAlpha, imgData;
  // Job rows: the name banner.
  QImage imgNameL, imgNameC, imgNameR;
  // Job rows of a simple exporter: one banner across the three option columns.
  QImage imgSimpleL, imgSimpleC, imgSimpleR;
  // Job rows of other exporters: option on, option off, option does not apply.
  QImage imgTick, imgCross, imgEmpty;
};

// Draws all fifteen pictures.
CellPictures MakeCellPictures();

}  // namespace glyphmill
