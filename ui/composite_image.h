// The texture as an engine draws it: the colour image blended by the alpha mask over a backdrop,
// a checkerboard (transparency) or one plain colour. Each channel is
// round(colour * a + backdrop * (1 - a)) with a = mask / 255, the blend the preview strip uses.
#pragma once

#include <QColor>
#include <QImage>
#include <optional>

namespace glyphmill {

// The checkerboard: squares of this many texture pixels, light and dark grey.
inline constexpr int kCheckerSquare = 8;
inline const QColor kCheckerLight(0xFF, 0xFF, 0xFF);
inline const QColor kCheckerDark(0xCC, 0xCC, 0xCC);

// The checkerboard's colour at texture pixel (x, y).
QColor CheckerColourAt(int x, int y);

// The composite of `colour` and `mask` (same size; the mask's blue channel is the coverage) over
// the checkerboard, or over `backdrop` when one is given. An RGB888 image of the colour's size;
// a mask of another size counts as zero coverage outside itself.
QImage CompositeImage(const QImage& colour, const QImage& mask, const std::optional<QColor>& backdrop);

}  // namespace glyphmill
