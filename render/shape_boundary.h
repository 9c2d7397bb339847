// The boundary of a glyph's filled area, as closed contours of FieldEdges with the inside on the
// left of every edge.
//
// Font outlines are filled by the non-zero winding rule, and their contours may overlap (variable
// fonts, synthesised bold, composite glyphs) or run the other way round than the rule's fill
// suggests. A distance field computed from such contours as they are shows seams where one
// contour runs inside another. So the outline is resolved first: every segment is cut where it
// crosses another, each piece is kept only when the winding of the whole outline is non-zero on
// exactly one of its sides (it bounds the filled area), turned so that side is its left, and the
// pieces are joined into closed contours again.
#pragma once

#include <vector>

#include "render/field_edge.h"
#include "settings/glyph_outline.h"

namespace glyphmill {

using FieldContour = std::vector<FieldEdge>;

// The resolved boundary of `outline`; empty for an outline without area. Segments shorter than
// a millionth of a pixel are left out.
std::vector<FieldContour> ResolveBoundary(const GlyphOutline& outline);

// The outline's segments as edges, as they are (not resolved), without segments shorter than a
// millionth of a pixel: what the non-zero winding rule is applied to.
std::vector<FieldEdge> OutlineEdges(const GlyphOutline& outline);

// The winding number of `edges` at q (counter-clockwise counts positive); q is inside the filled
// area when it is not 0.
int WindingAt(const std::vector<FieldEdge>& edges, Vec2 q);

}  // namespace glyphmill
