// The texture as an engine draws it: the page's colour blended by the alpha mask over a backdrop,
// a checkerboard (transparency) or one plain colour. With straight colour each channel is
// round(colour * a + backdrop * (1 - a)), with premultiplied colour round(colour + backdrop * (1 - a)),
// a = mask / 255, the blends an engine's shader does for each kind of page.
//
// Zoomed, an engine samples the texture with linear filtering: the four texels around the sample
// point are interpolated channel by channel as they are stored (so the background colour of a
// classic page bleeds into its edges, which is exactly the rim a straight page avoids), and only
// then blended over the backdrop.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <optional>

namespace glyphmill {

// The checkerboard: squares of this many texture pixels, light and dark grey.
inline constexpr int kCheckerSquare = 8;
inline const QColor kCheckerLight(0xFF, 0xFF, 0xFF);
inline const QColor kCheckerDark(0xCC, 0xCC, 0xCC);

// How the page's colour relates to its alpha.
enum class PageAlpha { Straight, Premultiplied };

// The checkerboard's colour at texture pixel (x, y).
QColor CheckerColourAt(int x, int y);

// The composite of `colour` and `mask` (same size; the mask's blue channel is the coverage) over
// the checkerboard, or over `backdrop` when one is given. An RGB888 image of the colour's size;
// a mask of another size counts as zero coverage outside itself.
QImage CompositeImage(const QImage& colour, const QImage& mask, const std::optional<QColor>& backdrop,
                      PageAlpha alpha = PageAlpha::Straight);

// The composite as it appears at `scale` with linear filtering: the screen pixels `area` of the
// picture (whose size is the texture's times `scale`). Screen pixel (sx, sy) samples the texture
// at ((sx + 0.5) / scale - 0.5, (sy + 0.5) / scale - 0.5), edges clamped; the checkerboard is
// taken at the texel under the pixel. `colour` and `mask` are RGB888 images of one size.
QImage FilteredComposite(const QImage& colour, const QImage& mask, const std::optional<QColor>& backdrop,
                         PageAlpha alpha, double scale, const QRect& area);

}  // namespace glyphmill
