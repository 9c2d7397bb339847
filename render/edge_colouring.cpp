#include "render/edge_colouring.h"

#include <cmath>

namespace glyphmill {

namespace {

constexpr uint8_t kCyan = kGreen | kBlue;
constexpr uint8_t kMagenta = kRed | kBlue;
constexpr uint8_t kYellow = kRed | kGreen;

// True when the contour turns by more than `angle` between a and b (unit directions).
bool IsCorner(Vec2 a, Vec2 b, double angle) { return Dot(a, b) < std::cos(angle); }

// The contour with each edge split into three pieces of equal parameter range.
FieldContour SplitInThirds(const FieldContour& contour) {
  FieldContour out;
  for (const FieldEdge& e : contour) {
    for (int k = 0; k < 3; ++k) {
      FieldEdge piece = e.piece(k / 3.0, (k + 1) / 3.0);
      if (k > 0) piece.p[0] = out.back().end();
      if (k == 2) piece.p[piece.degree] = e.end();
      out.push_back(piece);
    }
  }
  return out;
}

// A contour whose only corner is at the start of edge 0: its first third magenta, its middle white,
// its last third yellow, so the two edges at the corner differ.
void ColourTeardrop(FieldContour& contour) {
  const std::size_t n = contour.size();
  static constexpr uint8_t kThirds[3] = {kMagenta, kWhite, kYellow};
  for (std::size_t i = 0; i < n; ++i) contour[i].colour = kThirds[std::min<std::size_t>(3 * i / n, 2)];
}

}  // namespace

void ColourEdges(std::vector<FieldContour>& contours, double cornerAngle) {
  for (FieldContour& contour : contours) {
    if (contour.empty()) continue;
    // Corners: the starts of the edges where the direction turns sharply.
    std::vector<std::size_t> corners;
    for (std::size_t i = 0; i < contour.size(); ++i) {
      const FieldEdge& prev = contour[(i + contour.size() - 1) % contour.size()];
      if (IsCorner(Normalized(prev.direction(1)), Normalized(contour[i].direction(0)), cornerAngle))
        corners.push_back(i);
    }
    if (corners.empty()) {
      for (FieldEdge& e : contour) e.colour = kWhite;
      continue;
    }
    if (corners.size() == 1) {
      // Rotate so the corner starts edge 0, split short contours, then colour in thirds.
      FieldContour rotated(contour.begin() + static_cast<std::ptrdiff_t>(corners[0]), contour.end());
      rotated.insert(rotated.end(), contour.begin(), contour.begin() + static_cast<std::ptrdiff_t>(corners[0]));
      if (rotated.size() < 3) rotated = SplitInThirds(rotated);
      ColourTeardrop(rotated);
      contour = std::move(rotated);
      continue;
    }
    // Between corners the colour stays; at each corner it alternates between two colours, and the
    // run that closes the contour takes the third when it would otherwise meet the first run's.
    const std::size_t runs = corners.size();
    static constexpr uint8_t kAlternate[2] = {kCyan, kMagenta};
    for (std::size_t r = 0; r < runs; ++r) {
      uint8_t colour = kAlternate[r % 2];
      if (r + 1 == runs && colour == kAlternate[0]) colour = kYellow;
      const std::size_t from = corners[r], to = corners[(r + 1) % runs];
      for (std::size_t i = from; i != to; i = (i + 1) % contour.size()) contour[i].colour = colour;
      if (runs == 1) break;
    }
  }
}

}  // namespace glyphmill
