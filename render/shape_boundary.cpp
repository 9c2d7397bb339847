#include "render/shape_boundary.h"

#include <algorithm>
#include <cmath>

namespace glyphmill {

namespace {

// Segments are flattened into this many chords per pixel of control polygon to find crossings;
// each crossing is then refined on the curves themselves.
constexpr double kChordsPerPixel = 1.0;
constexpr int kMinChords = 4;
constexpr int kMaxChords = 32;
// A crossing this close (in parameter) to a segment's end is the end itself: nothing to cut.
constexpr double kEndParam = 1e-7;
// How far to each side of a piece its winding is probed, in pixels.
constexpr double kProbe = 1e-4;
// End points this close (pixels) are the same point when pieces are joined again.
constexpr double kJoinTolerance = 1e-5;

double ControlLength(const FieldEdge& e) {
  double len = 0;
  for (int i = 0; i < e.degree; ++i) len += Length(e.p[i + 1] - e.p[i]);
  return len;
}

struct Chord {
  int edge;
  double t0, t1;
  Vec2 a, b;
  double left, right, bottom, top;
};

// A cut of edge `edge` at parameter t, through the point `at` both cut edges then share.
struct Cut {
  int edge;
  double t;
  Vec2 at;
};

// Newton's method on A(s) = B(t), from the chords' estimate; false when it does not settle
// within the two chords' parameter ranges.
bool RefineCrossing(const FieldEdge& a, const FieldEdge& b, const Chord& ca, const Chord& cb, double& s, double& t) {
  for (int it = 0; it < 12; ++it) {
    const Vec2 f = a.point(s) - b.point(t);
    if (Length(f) < 1e-12) break;
    const Vec2 da = a.derivative(s), db = b.derivative(t);
    const double det = Cross(da, db) * -1.0;  // Jacobian [da, -db]
    if (std::fabs(det) < 1e-18) return false;
    // Solve da * ds - db * dt = -f.
    const double ds = (-f.x * -db.y - -db.x * -f.y) / det;
    const double dt = (da.x * -f.y - da.y * -f.x) / det;
    s += ds;
    t += dt;
  }
  const double slackA = ca.t1 - ca.t0, slackB = cb.t1 - cb.t0;
  return Length(a.point(s) - b.point(t)) < 1e-7 && s >= ca.t0 - slackA && s <= ca.t1 + slackA && t >= cb.t0 - slackB &&
         t <= cb.t1 + slackB;
}

// Where chords a and b cross, as parameters along each (0..1); false when they do not.
bool ChordsCross(const Chord& a, const Chord& b, double& u, double& v) {
  const Vec2 r = a.b - a.a, s = b.b - b.a, qp = b.a - a.a;
  const double denom = Cross(r, s);
  if (denom == 0) return false;  // parallel: collinear overlaps are settled by the probes
  u = Cross(qp, s) / denom;
  v = Cross(qp, r) / denom;
  return u >= 0 && u <= 1 && v >= 0 && v <= 1;
}

std::vector<Chord> Flatten(const std::vector<FieldEdge>& edges) {
  std::vector<Chord> chords;
  for (int i = 0; i < static_cast<int>(edges.size()); ++i) {
    const FieldEdge& e = edges[static_cast<std::size_t>(i)];
    const int n = e.degree == 1 ? 1
                                : std::clamp(static_cast<int>(std::ceil(ControlLength(e) * kChordsPerPixel)),
                                             kMinChords, kMaxChords);
    Vec2 prev = e.start();
    for (int k = 1; k <= n; ++k) {
      const double t0 = static_cast<double>(k - 1) / n, t1 = static_cast<double>(k) / n;
      const Vec2 next = k == n ? e.end() : e.point(t1);
      chords.push_back({i, t0, t1, prev, next, std::min(prev.x, next.x), std::max(prev.x, next.x),
                        std::min(prev.y, next.y), std::max(prev.y, next.y)});
      prev = next;
    }
  }
  return chords;
}

// Every place where two segments cross inside at least one of them.
std::vector<Cut> FindCuts(const std::vector<FieldEdge>& edges) {
  std::vector<Chord> chords = Flatten(edges);
  std::sort(chords.begin(), chords.end(), [](const Chord& a, const Chord& b) { return a.left < b.left; });
  std::vector<Cut> cuts;
  for (std::size_t i = 0; i < chords.size(); ++i) {
    const Chord& ca = chords[i];
    for (std::size_t j = i + 1; j < chords.size() && chords[j].left <= ca.right; ++j) {
      const Chord& cb = chords[j];
      if (cb.edge == ca.edge || cb.bottom > ca.top || cb.top < ca.bottom) continue;
      double u, v;
      if (!ChordsCross(ca, cb, u, v)) continue;
      const FieldEdge& ea = edges[static_cast<std::size_t>(ca.edge)];
      const FieldEdge& eb = edges[static_cast<std::size_t>(cb.edge)];
      double s = ca.t0 + u * (ca.t1 - ca.t0), t = cb.t0 + v * (cb.t1 - cb.t0);
      if (ea.degree > 1 || eb.degree > 1) {
        double rs = s, rt = t;
        if (RefineCrossing(ea, eb, ca, cb, rs, rt)) {
          s = std::clamp(rs, 0.0, 1.0);
          t = std::clamp(rt, 0.0, 1.0);
        }
      }
      const bool insideA = s > kEndParam && s < 1 - kEndParam;
      const bool insideB = t > kEndParam && t < 1 - kEndParam;
      if (!insideA && !insideB) continue;  // end points meeting: nothing to cut
      // The shared point: an end of one segment when the other is crossed there.
      const Vec2 at = !insideA   ? (s < 0.5 ? ea.start() : ea.end())
                      : !insideB ? (t < 0.5 ? eb.start() : eb.end())
                                 : ea.point(s);
      if (insideA) cuts.push_back({ca.edge, s, at});
      if (insideB) cuts.push_back({cb.edge, t, at});
    }
  }
  return cuts;
}

// Edge `e` cut at the given cuts (sorted by parameter), each piece ending exactly at its cut point.
void CutEdge(const FieldEdge& e, std::vector<Cut>& cuts, std::vector<FieldEdge>& out) {
  std::sort(cuts.begin(), cuts.end(), [](const Cut& a, const Cut& b) { return a.t < b.t; });
  double from = 0;
  Vec2 fromPoint = e.start();
  for (const Cut& c : cuts) {
    if (c.t - from < kEndParam) continue;
    FieldEdge piece = e.piece(from, c.t);
    piece.p[0] = fromPoint;
    piece.p[piece.degree] = c.at;
    out.push_back(piece);
    from = c.t;
    fromPoint = c.at;
  }
  FieldEdge last = e.piece(from, 1);
  last.p[0] = fromPoint;
  last.p[last.degree] = e.end();
  out.push_back(last);
}

bool Degenerate(const FieldEdge& e) { return ControlLength(e) < 1e-6; }

// True when two pieces are the same curve run the same way (a contour drawn twice).
bool SamePiece(const FieldEdge& a, const FieldEdge& b) {
  if (a.degree != b.degree) return false;
  for (int i = 0; i <= a.degree; ++i)
    if (Length(a.p[static_cast<std::size_t>(i)] - b.p[static_cast<std::size_t>(i)]) > kJoinTolerance) return false;
  return true;
}

// Edges with their boxes, for winding numbers at many points.
struct WindingEdges {
  explicit WindingEdges(const std::vector<FieldEdge>& e) : edges(e) {
    for (const FieldEdge& edge : edges) {
      Box b;
      edge.bounds(b.left, b.bottom, b.right, b.top);
      boxes.push_back(b);
    }
  }
  struct Box {
    double left, bottom, right, top;
  };
  const std::vector<FieldEdge>& edges;
  std::vector<Box> boxes;
  std::vector<std::pair<double, int>> crossings;  // scratch

  int at(Vec2 q) {
    crossings.clear();
    for (std::size_t i = 0; i < edges.size(); ++i) {
      const Box& b = boxes[i];
      if (q.y < b.bottom || q.y >= b.top || b.right < q.x) continue;
      edges[i].crossings(q.y, crossings);
    }
    int w = 0;
    for (const auto& [x, dir] : crossings)
      if (x > q.x) w += dir;
    return w;
  }
};

// Joins pieces into closed contours: each piece is followed by the unused piece that starts
// where it ends (the next piece of the same source contour when that one does).
std::vector<FieldContour> Join(std::vector<FieldEdge> pieces) {
  std::vector<FieldContour> contours;
  std::vector<uint8_t> used(pieces.size(), 0);
  for (std::size_t first = 0; first < pieces.size(); ++first) {
    if (used[first]) continue;
    FieldContour contour;
    std::size_t current = first;
    used[current] = 1;
    contour.push_back(pieces[current]);
    for (;;) {
      const Vec2 end = pieces[current].end();
      if (contour.size() > 1 && Length(end - pieces[first].start()) <= kJoinTolerance) break;
      std::size_t next = pieces.size();
      double best = kJoinTolerance;
      if (current + 1 < pieces.size() && !used[current + 1] &&
          Length(pieces[current + 1].start() - end) <= kJoinTolerance) {
        next = current + 1;
      } else {
        for (std::size_t k = 0; k < pieces.size(); ++k) {
          if (used[k]) continue;
          const double d = Length(pieces[k].start() - end);
          if (d <= best) {
            best = d;
            next = k;
          }
        }
      }
      if (next == pieces.size()) break;  // an open end: the contour closes where it stands
      used[next] = 1;
      pieces[next].p[0] = end;
      contour.push_back(pieces[next]);
      current = next;
    }
    contours.push_back(std::move(contour));
  }
  return contours;
}

}  // namespace

int WindingAt(const std::vector<FieldEdge>& edges, Vec2 q) { return WindingEdges(edges).at(q); }

std::vector<FieldEdge> OutlineEdges(const GlyphOutline& outline) {
  std::vector<FieldEdge> edges;
  for (const OutlineContour& contour : outline.contours) {
    for (const OutlineSegment& s : contour.segments) {
      FieldEdge e;
      e.degree = std::clamp<uint8_t>(s.degree, 1, 3);
      for (int i = 0; i <= e.degree; ++i) {
        const OutlinePoint& p = s.p[static_cast<std::size_t>(i)];
        e.p[static_cast<std::size_t>(i)] = {p.x, p.y};
      }
      if (!Degenerate(e)) edges.push_back(e);
    }
  }
  return edges;
}

std::vector<FieldContour> ResolveBoundary(const GlyphOutline& outline) {
  const std::vector<FieldEdge> edges = OutlineEdges(outline);
  if (edges.empty()) return {};

  std::vector<std::vector<Cut>> cutsOf(edges.size());
  for (const Cut& c : FindCuts(edges)) cutsOf[static_cast<std::size_t>(c.edge)].push_back(c);
  std::vector<FieldEdge> pieces;
  for (std::size_t i = 0; i < edges.size(); ++i) CutEdge(edges[i], cutsOf[i], pieces);

  // Each piece lies wholly on the boundary or wholly off it; its middle tells which.
  std::vector<FieldEdge> kept;
  WindingEdges winding(edges);
  for (const FieldEdge& piece : pieces) {
    if (Degenerate(piece)) continue;
    const Vec2 mid = piece.point(0.5);
    const Vec2 dir = Normalized(piece.direction(0.5));
    const Vec2 leftward{-dir.y, dir.x};
    const bool insideLeft = winding.at(mid + kProbe * leftward) != 0;
    const bool insideRight = winding.at(mid - kProbe * leftward) != 0;
    if (insideLeft == insideRight) continue;
    const FieldEdge oriented = insideLeft ? piece : piece.reversed();
    // A contour drawn twice bounds the area once.
    if (std::any_of(kept.begin(), kept.end(), [&](const FieldEdge& k) { return SamePiece(k, oriented); })) continue;
    kept.push_back(oriented);
  }
  return Join(std::move(kept));
}

}  // namespace glyphmill
