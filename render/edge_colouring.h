// Edge colouring of a multi-channel distance field: which of the three channels each edge of a
// resolved boundary contributes to.
//
// A corner is a point where a contour's direction turns by more than the threshold angle. Edges are
// coloured so that at every corner the two edges meeting there share exactly one channel and each
// has a channel the other lacks: in those channels the field keeps the corner sharp, while the
// median of the three follows the shape. Colours with two channels (cyan, magenta, yellow) are
// used between corners, white (all three) on a contour without corners and nothing near.
//
// The runs of edges from corner to corner cycle through the three colours, so the two sides of a
// stroke's end (the runs either side of the end) differ. Then runs that lie across a narrow stroke
// or gap from each other, with nothing else as near on their other side, are recoloured apart where
// their corners allow (one run at a time, then a run with its neighbour): two different colours
// leave each side a channel of its own, in which the field is that side's alone and interpolates
// to the right width between pixel centres. Strokes stacked closer than about two pixels (the
// densest CJK glyphs at small sizes) have neighbours on both sides; no colouring helps there: the
// channel an edge lacks is in both its neighbours, and changes from one to the other near it.
#pragma once

#include <vector>

#include "render/shape_boundary.h"

namespace glyphmill {

// Turns sharper than this many radians (between the incoming and the outgoing direction) are
// corners.
inline constexpr double kCornerAngle = 0.14;

// Runs of edges (corner to corner) that lie across a stroke or a gap narrower than this many
// pixels from each other are given different colours where the corners allow.
inline constexpr double kNearReach = 1.5;

// Colours every edge of every contour. A contour with one corner and fewer than three edges has
// its edges split into thirds first, so that the corner can still be told apart.
void ColourEdges(std::vector<FieldContour>& contours, double cornerAngle = kCornerAngle, double reach = kNearReach);

}  // namespace glyphmill
