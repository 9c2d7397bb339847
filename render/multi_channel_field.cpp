#include "render/multi_channel_field.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

#include "render/edge_colouring.h"
#include "render/shape_boundary.h"

namespace glyphmill {

namespace {

// How near the edge (pixels) a pixel's value is set off for the bend of its level curve, and by
// how much at most.
constexpr double kBendReach = 1.5;
constexpr double kMaxBend = 0.1;

struct BoxedEdge {
  FieldEdge edge;
  double left, bottom, right, top;
};

// The nearest edge found so far for one channel (or, at index 3, of any colour).
struct Nearest {
  SignedDistance d;
  int edge = -1;
  double param = 0;
};

// Sampled once per pixel and interpolated bilinearly, the distance to a curved edge reads short of
// the truth between pixel centres: across a cell it is concave (convex side) or convex (concave
// side) with the level curve's curvature k, and bilinear interpolation falls short of a function
// with that bend by k / 2 * u (1 - u) along the edge (u the position across the cell), k / 12 on
// average. This is that average, to be added to the stored value so that the interpolated outline
// keeps its place on curves instead of moving towards the concave side. 0 for straight pieces,
// beyond an edge's ends (the pseudo-distance follows the tangent there) and far from the edge.
double InterpolationBend(const FieldEdge& e, double param, double distance) {
  if (e.degree == 1 || param <= 0 || param >= 1 || std::fabs(distance) > kBendReach) return 0;
  const double k = e.curvature(param);
  const double shrink = 1 - k * distance;  // the level curve's radius over the edge's
  if (shrink < 0.5) return 0;
  return std::clamp(k / shrink / 12, -kMaxBend, kMaxBend);
}

double Median(double a, double b, double c) { return std::max(std::min(a, b), std::min(std::max(a, b), c)); }

// Distances from one point to the coloured boundary: the per-channel search with each edge's
// box as a lower bound, so that edges farther than every distance they could improve are skipped.
class FieldSampler {
 public:
  // `contours`: the resolved boundary the distances are measured to; `outline`: the outline's own
  // edges, whose winding tells inside from outside.
  FieldSampler(const std::vector<FieldContour>& contours, std::vector<FieldEdge> outline)
      : outline_(std::move(outline)) {
    for (const FieldEdge& e : outline_) {
      BoxedEdge b{e, 0, 0, 0, 0};
      e.bounds(b.left, b.bottom, b.right, b.top);
      windingEdges_.push_back(b);
    }
    for (const FieldContour& c : contours)
      for (const FieldEdge& e : c) {
        BoxedEdge b{e, 0, 0, 0, 0};
        e.bounds(b.left, b.bottom, b.right, b.top);
        edges_.push_back(b);
      }
  }

  bool empty() const { return edges_.empty(); }

  // The three channels' pseudo-distances and the unsigned true distance at q. `seeds` are the
  // nearest edges of the previous point (tried first, which makes most boxes fall away); they
  // are updated to this point's.
  // `rowOrder`, when given, lists every edge by its box's vertical distance from q's row
  // (ascending, with that distance), so the search stops at the first edge too far above or below.
  void sample(Vec2 q, int seeds[4], double channels[3], double& trueDistance,
              const std::vector<std::pair<double, int>>* rowOrder = nullptr, double* bends = nullptr) const {
    Nearest best[4];
    // Per colour (a set of channel bits), the square of the largest distance an edge of that
    // colour could still improve: kept up to date as the nearest edges change.
    double reach2[8];
    std::fill(std::begin(reach2), std::end(reach2), 1e300);
    auto consider = [&](int i) {
      const FieldEdge& e = edges_[static_cast<std::size_t>(i)].edge;
      double param = 0;
      const SignedDistance d = e.distance(q, &param);
      bool changed = false;
      if (Nearer(d, best[3].d)) {
        best[3] = {d, i, param};
        changed = true;
      }
      for (int c = 0; c < 3; ++c)
        if ((e.colour & (1 << c)) && Nearer(d, best[c].d)) {
          best[c] = {d, i, param};
          changed = true;
        }
      if (!changed) return;
      for (int colour = 0; colour < 8; ++colour) {
        double reach = std::fabs(best[3].d.distance);
        for (int c = 0; c < 3; ++c)
          if (colour & (1 << c)) reach = std::max(reach, std::fabs(best[c].d.distance));
        reach2[colour] = reach * reach;
      }
    };
    for (int s = 0; s < 4; ++s)
      if (seeds[s] >= 0) consider(seeds[s]);
    if (rowOrder) {
      for (const auto& [dy, i] : *rowOrder) {
        if (dy * dy > reach2[kWhite]) break;
        const BoxedEdge& b = edges_[static_cast<std::size_t>(i)];
        const double dx = std::max({b.left - q.x, 0.0, q.x - b.right});
        if (dx * dx + dy * dy > reach2[b.edge.colour & 7]) continue;
        consider(i);
      }
    } else {
      for (int i = 0; i < static_cast<int>(edges_.size()); ++i) {
        const BoxedEdge& b = edges_[static_cast<std::size_t>(i)];
        const double dx = std::max({b.left - q.x, 0.0, q.x - b.right});
        const double dy = std::max({b.bottom - q.y, 0.0, q.y - b.top});
        if (dx * dx + dy * dy > reach2[b.edge.colour & 7]) continue;
        consider(i);
      }
    }
    trueDistance = std::fabs(best[3].d.distance);
    for (int c = 0; c < 3; ++c) {
      if (best[c].edge < 0) {
        channels[c] = best[3].d.distance;
        continue;
      }
      SignedDistance pseudo = best[c].d;
      const FieldEdge& e = edges_[static_cast<std::size_t>(best[c].edge)].edge;
      e.toPseudoDistance(pseudo, q, best[c].param);
      channels[c] = pseudo.distance;
      if (!bends) continue;
      // Channels with the same nearest point share its bend.
      if (c > 0 && best[c].edge == best[c - 1].edge && best[c].param == best[c - 1].param &&
          channels[c] == channels[c - 1]) {
        bends[c] = bends[c - 1];
      } else {
        bends[c] = InterpolationBend(e, best[c].param, pseudo.distance);
      }
    }
    for (int s = 0; s < 4; ++s) seeds[s] = best[s].edge;
  }

  // The true signed distance at any point (its sign from the winding there).
  double signedDistanceAt(Vec2 q) const {
    int seeds[4] = {-1, -1, -1, -1};
    double channels[3], d = 0;
    sample(q, seeds, channels, d);
    return WindingAt(outline_, q) != 0 ? d : -d;
  }

  const std::vector<BoxedEdge>& windingEdges() const { return windingEdges_; }

  // The edges ordered by their boxes' vertical distance from the line at height y.
  void orderForRow(double y, std::vector<std::pair<double, int>>& order) const {
    order.clear();
    for (int i = 0; i < static_cast<int>(edges_.size()); ++i) {
      const BoxedEdge& b = edges_[static_cast<std::size_t>(i)];
      order.emplace_back(std::max({b.bottom - y, 0.0, y - b.top}), i);
    }
    std::sort(order.begin(), order.end());
  }

 private:
  std::vector<FieldEdge> outline_;
  std::vector<BoxedEdge> windingEdges_;
  std::vector<BoxedEdge> edges_;
};

// The per-pixel distances of a field before encoding.
struct FieldDistances {
  int width = 0, rows = 0;
  double left = 0, top = 0;
  std::vector<double> channels;  // 3 per pixel
  std::vector<double> bends;     // 3 per pixel: what interpolation on curves takes off each channel
  std::vector<double> truth;     // signed
  std::vector<uint8_t> inside;

  Vec2 centre(double col, double row) const { return {left + col + 0.5, top - row - 0.5}; }
};

void Sample(const FieldSampler& sampler, FieldDistances& f) {
  std::vector<std::pair<double, int>> xs, order;
  for (int r = 0; r < f.rows; ++r) {
    const double y = f.top - r - 0.5;
    sampler.orderForRow(y, order);
    // The winding of each pixel centre: the crossings of its row to the right of it.
    xs.clear();
    for (const BoxedEdge& b : sampler.windingEdges())
      if (y >= b.bottom && y < b.top) b.edge.crossings(y, xs);
    std::sort(xs.begin(), xs.end());
    int winding = 0;
    for (const auto& x : xs) winding += x.second;
    std::size_t k = 0;
    int seeds[4] = {-1, -1, -1, -1};
    for (int c = 0; c < f.width; ++c) {
      const Vec2 q = f.centre(c, r);
      while (k < xs.size() && xs[k].first <= q.x) winding -= xs[k++].second;
      const std::size_t i = static_cast<std::size_t>(r) * f.width + c;
      double d = 0;
      sampler.sample(q, seeds, &f.channels[3 * i], d, &order, &f.bends[3 * i]);
      f.inside[i] = winding != 0;
      f.truth[i] = f.inside[i] ? d : -d;  // -0.0 on the outline from outside: the side is kept
    }
  }
}

// Marks pixels whose median lies on the other side of the outline than the truth, and the pixels
// around every place between pixel centres where the interpolated median does by more than the
// tolerance; those take the true distance.
int32_t CorrectErrors(const FieldSampler& sampler, FieldDistances& f) {
  const std::size_t n = static_cast<std::size_t>(f.width) * f.rows;
  std::vector<uint8_t> flagged(n, 0);
  auto median = [&](std::size_t i) { return Median(f.channels[3 * i], f.channels[3 * i + 1], f.channels[3 * i + 2]); };
  for (std::size_t i = 0; i < n; ++i)
    if (std::signbit(median(i)) == (f.inside[i] != 0)) flagged[i] = 1;

  // Places between pixels: the midpoints of horizontal and vertical neighbours and the centres of
  // each square of four.
  auto check = [&](const std::size_t* ids, int count, double col, double row) {
    double m[3] = {0, 0, 0}, t = 0;
    for (int k = 0; k < count; ++k) {
      for (int c = 0; c < 3; ++c) m[c] += f.channels[3 * ids[k] + c];
      t += f.truth[ids[k]];
    }
    const double med = Median(m[0], m[1], m[2]) / count;
    t /= count;
    if ((med > 0) == (t > 0) || std::max(std::fabs(med), std::fabs(t)) <= 0.5 * kClashTolerance) return;
    const double exact = sampler.signedDistanceAt(f.centre(col, row));
    if ((med > 0) == (exact > 0) || std::fabs(exact) <= kClashTolerance) return;
    for (int k = 0; k < count; ++k) flagged[ids[k]] = 1;
  };
  for (int r = 0; r < f.rows; ++r) {
    for (int c = 0; c < f.width; ++c) {
      const std::size_t i = static_cast<std::size_t>(r) * f.width + c;
      if (c + 1 < f.width) {
        const std::size_t ids[2] = {i, i + 1};
        check(ids, 2, c + 0.5, r);
      }
      if (r + 1 < f.rows) {
        const std::size_t ids[2] = {i, i + f.width};
        check(ids, 2, c, r + 0.5);
      }
      if (c + 1 < f.width && r + 1 < f.rows) {
        const std::size_t ids[4] = {i, i + 1, i + f.width, i + f.width + 1};
        check(ids, 4, c + 0.5, r + 0.5);
      }
    }
  }
  int32_t corrected = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (!flagged[i]) continue;
    ++corrected;
    for (int c = 0; c < 3; ++c) {
      f.channels[3 * i + c] = f.truth[i];
      f.bends[3 * i + c] = 0;
    }
  }
  return corrected;
}

}  // namespace

uint8_t EncodeFieldDistance(double distance, double spread, bool inside) {
  if (!std::isfinite(distance)) distance = inside ? spread : -spread;
  const double steps = std::min(std::trunc(128.0 * std::fabs(distance) / spread), 128.0);
  if (distance > 0 || (distance == 0 && inside)) {
    const double v = std::min(128.0 + steps, 255.0);
    return static_cast<uint8_t>(inside || v > 128 ? v : 127);
  }
  const double v = std::max(128.0 - steps, 0.0);
  return static_cast<uint8_t>(!inside && v >= 128 ? 127 : v);
}

uint8_t EncodeChannelDistance(double distance, double spread) {
  if (!std::isfinite(distance)) return 0;
  const double v = std::clamp(std::floor(128.0 + 128.0 * distance / spread), 0.0, 255.0);
  // A distance too small to move 128 still keeps its side of the outline.
  return static_cast<uint8_t>(std::signbit(distance) ? std::min(v, 127.0) : std::max(v, 128.0));
}

MultiChannelField ComputeMultiChannelField(const GlyphOutline& outline, uint16_t spread, bool correct) {
  MultiChannelField out;
  const GlyphImage& cov = outline.coverage;
  out.left = cov.left;
  out.top = cov.top;
  if (cov.width <= 0 || cov.rows <= 0) return out;
  const int s = std::max<int>(spread, 1);
  out.left = cov.left - s;
  out.top = cov.top + s;
  out.width = cov.width + 2 * s;
  out.rows = cov.rows + 2 * s;
  const std::size_t n = static_cast<std::size_t>(out.width) * out.rows;

  std::vector<FieldContour> contours = ResolveBoundary(outline);
  ColourEdges(contours);
  const FieldSampler sampler(contours, OutlineEdges(outline));

  FieldDistances f;
  f.width = out.width;
  f.rows = out.rows;
  f.left = out.left;
  f.top = out.top;
  f.channels.assign(3 * n, -static_cast<double>(s));
  f.bends.assign(3 * n, 0.0);
  f.truth.assign(n, -static_cast<double>(s));
  f.inside.assign(n, 0);
  if (!sampler.empty()) {
    Sample(sampler, f);
    if (correct) out.corrected = CorrectErrors(sampler, f);
  }

  out.rgb.resize(3 * n);
  out.alpha.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const bool inside = f.inside[i] != 0;
    for (int c = 0; c < 3; ++c) {
      double& v = f.channels[3 * i + c];
      // The bend, without moving the pixel itself to the other side of the outline.
      const double bend = f.bends[3 * i + c];
      if (bend != 0) v = std::signbit(v) ? std::min(v + bend, -0.0) : std::max(v + bend, 0.0);
      // No channel strays from the truth by more than the spread: beyond that it carries nothing
      // but the risk of an artefact.
      if (correct) v = std::clamp(v, f.truth[i] - s, f.truth[i] + s);
      out.rgb[3 * i + c] = EncodeChannelDistance(v, s);
    }
    out.alpha[i] = EncodeFieldDistance(f.truth[i], s, inside);
  }
  return out;
}

}  // namespace glyphmill
